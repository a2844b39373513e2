#include "widgets/dialogs/numberfield.h"
#include "windowsession.h"

#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

using namespace pavelora;

namespace {

// A control of a dialog by its id.
template <typename T> T* in(QWidget* parent, const char* id) {
    return parent->findChild<T*>(QString::fromLatin1(id));
}

// Types into a number field and presses Enter, which counts as leaving it.
void typeInto(QWidget* parent, const char* id, const char* text) {
    in<QLineEdit>(parent, id)->selectAll();
    QTest::keyClicks(in<QLineEdit>(parent, id), QString::fromUtf8(text));
    QTest::keyClick(in<QLineEdit>(parent, id), Qt::Key_Return);
}

} // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void numberFieldsSpinsButtonsAndColourControls();
    void generateDialogLaysTheChosenPatch();
};

// "パターン生成" on "Penrose No.3": the seeds named for the set, a number of tiles chosen.
void SettingsDialogsTest::generateDialogLaysTheChosenPatch() {
    test::Session s(2, 3);
    test::whenModalOpens([](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("GenerateDB"));
        QCOMPARE(in<QRadioButton>(dialog, "30061")->text(), QStringLiteral("五芒星"));
        QVERIFY(in<QRadioButton>(dialog, "30062")->isChecked()); // the whole board at first
        QVERIFY(!in<QSpinBox>(dialog, "30004")->isEnabled());
        in<QRadioButton>(dialog, "30061")->click();
        in<QRadioButton>(dialog, "30063")->click();
        in<QSpinBox>(dialog, "30004")->setValue(40);
        in<QPushButton>(dialog, "30001")->click();
    });
    s.window.action(cmd::Generate)->trigger();
    QCOMPARE(s.doc().board.count(), 1);
    QCOMPARE(s.doc().board.groups[0]->count(), 40);
    QCOMPARE(s.doc().board.groups[0]->tiles[0]->kind, kind::Pentagram3);
}

void SettingsDialogsTest::numberFieldsSpinsButtonsAndColourControls() {
    test::Session s(2, 3);
    test::whenModalOpens([&s](QDialog* dialog) {
        typeInto(dialog, "30004", "150"); // Enter checks the field and presses no button
        auto* spin = in<SpinControl>(dialog, "30015");
        QVERIFY(dialog->isVisible() && spin->position() == 150);
        QTest::mouseClick(spin->upButton(), Qt::LeftButton);
        QCOMPARE(in<QLineEdit>(dialog, "30004")->text(), QStringLiteral("151"));
        in<QPushButton>(dialog, "30003")->click(); // "適用"
        QCOMPARE(s.doc().view.tileSizeRatio, 1.51);
        typeInto(dialog, "30004", "120");
        in<QPushButton>(dialog, "30002")->click(); // cancels the edit, not what was applied
    });
    s.window.action(cmd::TileSize)->trigger();
    QCOMPARE(s.doc().view.tileSizeRatio, 1.51);
    // Typed but not yet checked when OK is pressed: checked as the focus leaves.
    test::whenModalOpens([](QDialog* dialog) {
        in<QLineEdit>(dialog, "30004")->setText(QStringLiteral("5"));
        in<QPushButton>(dialog, "30001")->click();
    });
    s.window.action(cmd::OutlineWidth)->trigger();
    QCOMPARE(s.doc().tileSet->outlineInset, 0.05);

    // The HLS page's wheel and square take presses; OK applies the entry edited only.
    const Rgb second = s.doc().tileSet->pairColours[1];
    test::whenModalOpens([](QDialog* dialog) {
        dialog->findChild<QTabWidget*>()->setCurrentIndex(1);
        auto* hls = in<QWidget>(dialog, "TilePMColorHLS");
        auto* wheel = in<QWidget>(hls, "30033");
        auto* square = in<QWidget>(hls, "30034");
        QCOMPARE(square->property("windowClass").toString(), QStringLiteral("LScntr"));
        QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(3, wheel->width() / 2));
        QCOMPARE(in<QLineEdit>(hls, "30004")->text(), QStringLiteral("90")); // the left
        const int side = std::min(square->width(), square->height());
        QTest::mouseClick(square, Qt::LeftButton, {}, QPoint(side / 10, side / 10)); // white
        in<QListWidget>(hls, "30012")->setCurrentRow(1);
        in<QPushButton>(dialog, "30001")->click();
    });
    s.window.action(cmd::PairColour)->trigger();
    QCOMPARE(s.doc().tileSet->pairColours[0], (Rgb{255, 255, 255}));
    QCOMPARE(s.doc().tileSet->pairColours[1], second);

    // The JPEG setup's fourth form is the cut form of the vector files.
    test::whenModalOpens([](QDialog* dialog) {
        in<QRadioButton>(dialog, "30053")->click();
        in<QPushButton>(dialog, "30001")->click();
    });
    s.window.action(cmd::JpegSetup)->trigger();
    QCOMPARE(s.doc().jpegSettings.form, outputform::Cut);
}

QTEST_MAIN(SettingsDialogsTest)
#include "settingsdialogs_test.moc"
