#include "render/colour.h"
#include "widgets/dialogs/numberfield.h"
#include "windowsession.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

using namespace pavelora;
using pavelora::test::Session;
using pavelora::test::whenModalOpens;

namespace {

template <typename T> T* child(QWidget* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (found == nullptr) {
        qWarning("no child %s", qPrintable(name));
    }
    return found;
}

// Types into a number field and presses Enter, which counts as leaving it.
void typeInto(QWidget* parent, const QString& name, const QString& text) {
    QLineEdit* field = child<QLineEdit>(parent, name);
    QVERIFY(field != nullptr);
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QString textOf(QWidget* parent, const QString& name) {
    QLineEdit* field = child<QLineEdit>(parent, name);
    return field != nullptr ? field->text() : QStringLiteral("<missing>");
}

void press(QWidget* dialog, const QString& name) {
    QPushButton* button = child<QPushButton>(dialog, name);
    QVERIFY(button != nullptr);
    QVERIFY(button->isEnabled());
    button->click();
}

bool enabled(QWidget* dialog, const QString& name) {
    QPushButton* button = child<QPushButton>(dialog, name);
    return button != nullptr && button->isEnabled();
}

} // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void tileSizeAppliesAndCancelKeepsIt();
    void refusedTileSizeShowsTheMessage();
    void zoomSpinAndOk();
    void outlineWidthOk();
    void tileColourSheetCancelThenOk();
    void hlsPageWheelAndSquare();
    void boardColourSheetRoundTrip();
    void printSetupStoresOnOk();
    void jpegSetupStoresOnOk();
};

void SettingsDialogsTest::tileSizeAppliesAndCancelKeepsIt() {
    Session s(0, 3);
    QVERIFY(s.open());
    s.run(cmd::TileSize, [&s](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("TileSizeDB"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("タイル寸法指定操作"));
        QCOMPARE(textOf(dialog, QStringLiteral("30004")), QStringLiteral("100"));
        auto* spin = child<SpinControl>(dialog, QStringLiteral("30015"));
        QVERIFY(spin != nullptr);
        QCOMPARE(spin->lower(), 25);
        QCOMPARE(spin->upper(), 200);
        QVERIFY(!enabled(dialog, QStringLiteral("30003")));
        typeInto(dialog, QStringLiteral("30004"), QStringLiteral("150"));
        // Enter checked the field and did not press OK.
        QVERIFY(dialog->isVisible());
        QCOMPARE(spin->position(), 150);
        QVERIFY(enabled(dialog, QStringLiteral("30003")));
        QCOMPARE(s.doc().view.tileSizeRatio, 1.0);
        press(dialog, QStringLiteral("30003"));
        QCOMPARE(s.doc().view.tileSizeRatio, 1.5);
        QCOMPARE(s.status(3), QStringLiteral("ﾀｲﾙ寸法:150%"));
        QVERIFY(enabled(dialog, QStringLiteral("30003")));
        typeInto(dialog, QStringLiteral("30004"), QStringLiteral("120"));
        press(dialog, QStringLiteral("30002"));
    });
    QCOMPARE(s.doc().view.tileSizeRatio, 1.5);
    QVERIFY(s.window.action(cmd::SaveAs)->isEnabled());
}

void SettingsDialogsTest::refusedTileSizeShowsTheMessage() {
    Session s(0, 3);
    QVERIFY(s.open());
    Document& doc = s.doc();
    const int near = doc.view.boardOriginX + 5;
    Tile* left = placeTile(doc, kind::Kaite, 0, near, doc.view.boardOriginY + 100);
    Tile* right = placeTile(doc, kind::Kaite, 0, near + 200, doc.view.boardOriginY + 100);
    QVERIFY(left != nullptr && right != nullptr);
    const double x = left->x;
    QString shown;
    QPointer<QTimer> boxWatch;
    s.run(cmd::TileSize, [&shown, &boxWatch](QDialog* dialog) {
        typeInto(dialog, QStringLiteral("30004"), QStringLiteral("200"));
        boxWatch = whenModalOpens([&shown](QDialog* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            QVERIFY(message != nullptr);
            shown = message->windowTitle() + QLatin1Char('|') + message->text();
            message->button(QMessageBox::Ok)->click();
        });
        press(dialog, QStringLiteral("30001"));
    });
    delete boxWatch.data();
    QCOMPARE(shown, QStringLiteral("タイル寸法指定操作|寸法の調整が行えませんでした。"
                                   "ボードをはみだした可能性があります。"));
    QCOMPARE(left->x, x);
    QCOMPARE(doc.view.tileSizeRatio, 1.0);
    QCOMPARE(s.status(3), QStringLiteral("ﾀｲﾙ寸法:100%"));
}

void SettingsDialogsTest::zoomSpinAndOk() {
    Session s(1, 0);
    QVERIFY(s.open());
    s.run(cmd::Zoom, [](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("ZoomDB"));
        auto* spin = child<SpinControl>(dialog, QStringLiteral("30014"));
        QVERIFY(spin != nullptr);
        QVERIFY(!enabled(dialog, QStringLiteral("30003")));
        QTest::mouseClick(spin->upButton(), Qt::LeftButton);
        QCOMPARE(textOf(dialog, QStringLiteral("30004")), QStringLiteral("101"));
        QVERIFY(enabled(dialog, QStringLiteral("30003")));
        press(dialog, QStringLiteral("30001"));
    });
    QCOMPARE(s.doc().view.zoom, 1.01);
    QCOMPARE(s.status(2), QStringLiteral("ｽﾞｰﾑ:101%"));
    QCOMPARE(s.window.editor().buffers().backBuffer.width(), s.doc().view.boardPixelWidth);
}

void SettingsDialogsTest::outlineWidthOk() {
    Session s(0, 3);
    QVERIFY(s.open());
    s.run(cmd::OutlineWidth, [](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("タイル輪郭幅操作"));
        QVERIFY(child<SpinControl>(dialog, QStringLiteral("30014")) != nullptr);
        // Typed but not yet checked when OK is pressed: checked as the focus leaves.
        child<QLineEdit>(dialog, QStringLiteral("30004"))->setText(QStringLiteral("5"));
        press(dialog, QStringLiteral("30001"));
    });
    QCOMPARE(s.doc().tileSet->outlineInset, 0.05);
    QCOMPARE(s.status(4), QStringLiteral("ﾀｲﾙ輪郭幅:5%"));
}

void SettingsDialogsTest::tileColourSheetCancelThenOk() {
    Session s(0, 3);
    QVERIFY(s.open());
    const std::vector<Rgb> stored = s.doc().tileSet->kindColours;
    auto editBoth = [](QDialog* dialog) {
        QWidget* rgb = child<QWidget>(dialog, QStringLiteral("TileColorRGB"));
        QVERIFY(rgb != nullptr);
        auto* list = child<QListWidget>(rgb, QStringLiteral("30012"));
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 0);
        typeInto(rgb, QStringLiteral("30004"), QStringLiteral("12"));
        list->setCurrentRow(1);
        typeInto(rgb, QStringLiteral("30005"), QStringLiteral("34"));
        QVERIFY(enabled(dialog, QStringLiteral("30003")));
    };
    s.run(cmd::TileColour, [&](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("タイルの色指定"));
        auto* tabs = dialog->findChild<QTabWidget*>();
        QVERIFY(tabs != nullptr);
        QCOMPARE(tabs->tabText(0), QStringLiteral("ＲＧＢ"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("ＨＬＳ"));
        QVERIFY(!enabled(dialog, QStringLiteral("30003")));
        editBoth(dialog);
        press(dialog, QStringLiteral("30002"));
    });
    QCOMPARE(s.doc().tileSet->kindColours, stored);
    QVERIFY(!s.window.action(cmd::SaveAs)->isEnabled());

    s.run(cmd::TileColour, [&](QDialog* dialog) {
        editBoth(dialog);
        press(dialog, QStringLiteral("30001"));
    });
    QCOMPARE(s.doc().tileSet->kindColours[0].red, std::uint8_t(12));
    QCOMPARE(s.doc().tileSet->kindColours[0].green, stored[0].green);
    QCOMPARE(s.doc().tileSet->kindColours[1].green, std::uint8_t(34));
    QVERIFY(s.window.action(cmd::SaveAs)->isEnabled());
}

void SettingsDialogsTest::hlsPageWheelAndSquare() {
    Session s(2, 3);
    QVERIFY(s.open());
    s.run(cmd::PairColour, [](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("対模様の色指定"));
        dialog->findChild<QTabWidget*>()->setCurrentIndex(1);
        QWidget* hls = child<QWidget>(dialog, QStringLiteral("TilePMColorHLS"));
        QVERIFY(hls != nullptr);
        QCOMPARE(child<QListWidget>(hls, QStringLiteral("30012"))->item(0)->text(),
                 QStringLiteral("対模様その１"));
        QWidget* wheel = child<QWidget>(hls, QStringLiteral("30033"));
        QWidget* square = child<QWidget>(hls, QStringLiteral("30034"));
        QVERIFY(wheel != nullptr && square != nullptr);
        QCOMPARE(wheel->property("windowClass").toString(), QStringLiteral("Huecntr"));
        QCOMPARE(square->property("windowClass").toString(), QStringLiteral("LScntr"));
        const int side = wheel->width();
        QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(side / 2, side - 3));
        QCOMPARE(textOf(hls, QStringLiteral("30004")), QStringLiteral("180"));
        QCOMPARE(child<QScrollBar>(hls, QStringLiteral("30040"))->value(), 180);
        QTest::mouseClick(square, Qt::LeftButton, {}, QPoint(side / 10, side / 10));
        QCOMPARE(textOf(hls, QStringLiteral("30005")), QStringLiteral("100"));
        QCOMPARE(textOf(hls, QStringLiteral("30006")), QStringLiteral("0"));
        // The hue bar goes round.
        auto* hue = child<QScrollBar>(hls, QStringLiteral("30040"));
        hue->setSliderPosition(359);
        hue->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(textOf(hls, QStringLiteral("30004")), QStringLiteral("0"));
        hue->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(hue->value(), 350);
        typeInto(hls, QStringLiteral("30005"), QStringLiteral("50"));
        typeInto(hls, QStringLiteral("30006"), QStringLiteral("100"));
        press(dialog, QStringLiteral("30001"));
    });
    // Hue 350, lightness 50, saturation 100.
    QCOMPARE(s.doc().tileSet->pairColours[0], hlsToRgb(350, 50, 100));
}

void SettingsDialogsTest::boardColourSheetRoundTrip() {
    Session s(0, 3);
    QVERIFY(s.open());
    QVERIFY(s.window.editor().settings().applyBoardColour(Rgb{200, 0, 0}));
    s.run(cmd::BoardColour, [](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("ボードの色指定"));
        QWidget* rgb = child<QWidget>(dialog, QStringLiteral("BDColorRGB"));
        QVERIFY(rgb != nullptr);
        QVERIFY(rgb->findChild<QListWidget*>() == nullptr);
        QCOMPARE(textOf(rgb, QStringLiteral("30004")), QStringLiteral("198"));
        // The red bar steps by five a page.
        child<QScrollBar>(rgb, QStringLiteral("30040"))
            ->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(textOf(rgb, QStringLiteral("30004")), QStringLiteral("193"));
        press(dialog, QStringLiteral("30003"));
        QVERIFY(!enabled(dialog, QStringLiteral("30003")));
        typeInto(rgb, QStringLiteral("30006"), QStringLiteral("255"));
        press(dialog, QStringLiteral("30002"));
    });
    // Applied before ｷｬﾝｾﾙ: kept; edited after it: dropped.
    QCOMPARE(s.doc().view.boardColour, (Rgb{193, 0, 0}));
    QCOMPARE(s.window.editor().buffers().backBuffer.pixelColor(2, 2), QColor(193, 0, 0));
}

void SettingsDialogsTest::printSetupStoresOnOk() {
    Session s(0, 3);
    QVERIFY(s.open());
    s.run(cmd::PrintSetup, [](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("PrintSetupDB"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("印刷設定"));
        QCOMPARE(child<QLabel>(dialog, QStringLiteral("30020"))->text(),
                 QStringLiteral("ボードの大きさ：Ａ４横"));
        QCOMPARE(child<QLabel>(dialog, QStringLiteral("30021"))->text(),
                 QStringLiteral("横幅： 297 mm"));
        QVERIFY(child<QRadioButton>(dialog, QStringLiteral("30050"))->isChecked());
        typeInto(dialog, QStringLiteral("30010"), QStringLiteral("46"));
        QCOMPARE(textOf(dialog, QStringLiteral("30010")), QStringLiteral("0"));
        typeInto(dialog, QStringLiteral("30010"), QStringLiteral("45"));
        typeInto(dialog, QStringLiteral("30009"), QStringLiteral("-5"));
        QCOMPARE(textOf(dialog, QStringLiteral("30009")), QStringLiteral("0"));
        QTest::mouseClick(child<SpinControl>(dialog, QStringLiteral("30018"))->upButton(),
                          Qt::LeftButton);
        QCOMPARE(textOf(dialog, QStringLiteral("30009")), QStringLiteral("1"));
        child<QLineEdit>(dialog, QStringLiteral("30007"))->setText(QStringLiteral("タイリング"));
        child<QRadioButton>(dialog, QStringLiteral("30052"))->setChecked(true);
        press(dialog, QStringLiteral("30002"));
    });
    QCOMPARE(s.doc().printSettings.paperMarginX, 0);
    QVERIFY(!s.window.action(cmd::SaveAs)->isEnabled());

    s.run(cmd::PrintSetup, [](QDialog* dialog) {
        typeInto(dialog, QStringLiteral("30010"), QStringLiteral("45"));
        typeInto(dialog, QStringLiteral("30008"), QStringLiteral("7"));
        child<QLineEdit>(dialog, QStringLiteral("30007"))->setText(QStringLiteral("タイリング"));
        child<QRadioButton>(dialog, QStringLiteral("30052"))->setChecked(true);
        press(dialog, QStringLiteral("30001"));
    });
    const PrintSettings& p = s.doc().printSettings;
    QCOMPARE(p.paperMarginX, 45);
    QCOMPARE(p.cutMarginX, 7);
    QCOMPARE(p.title, QStringLiteral("タイリング"));
    QCOMPARE(p.printForm, 3);
    QVERIFY(s.window.action(cmd::SaveAs)->isEnabled());
}

void SettingsDialogsTest::jpegSetupStoresOnOk() {
    Session s(0, 3);
    QVERIFY(s.open());
    s.run(cmd::JpegSetup, [](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("JpegSetupDB"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("JPEG画像保存設定"));
        QCOMPARE(textOf(dialog, QStringLiteral("30061")), QStringLiteral("200"));
        typeInto(dialog, QStringLiteral("30061"), QStringLiteral("49"));
        QCOMPARE(textOf(dialog, QStringLiteral("30061")), QStringLiteral("200"));
        typeInto(dialog, QStringLiteral("30061"), QStringLiteral("201"));
        QCOMPARE(textOf(dialog, QStringLiteral("30061")), QStringLiteral("200"));
        typeInto(dialog, QStringLiteral("30061"), QStringLiteral("50"));
        typeInto(dialog, QStringLiteral("30060"), QStringLiteral("80"));
        QCOMPARE(child<QRadioButton>(dialog, QStringLiteral("30052"))->text(),
                 QStringLiteral("タイルの輪郭線を印刷"));
        child<QRadioButton>(dialog, QStringLiteral("30051"))->setChecked(true);
        press(dialog, QStringLiteral("30001"));
    });
    QCOMPARE(s.doc().jpegSettings.density, 50);
    QCOMPARE(s.doc().jpegSettings.quality, 80);
    QCOMPARE(s.doc().jpegSettings.form, 2);
    QVERIFY(!s.window.action(cmd::SaveAs)->isEnabled());
}

QTEST_MAIN(SettingsDialogsTest)
#include "settingsdialogs_test.moc"
