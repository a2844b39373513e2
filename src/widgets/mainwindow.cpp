#include "widgets/mainwindow.h"

#include "editor/commands.h"
#include "editor/statusbar.h"
#include "render/rulesoverlay.h"
#include "widgets/artwork.h"
#include "widgets/dialogs/aboutdialog.h"
#include "widgets/dialogs/coloursheet.h"
#include "widgets/dialogs/generatedialog.h"
#include "widgets/dialogs/helpviewer.h"
#include "widgets/dialogs/newfiledialog.h"
#include "widgets/dialogs/percentdialog.h"
#include "widgets/dialogs/printjob.h"
#include "widgets/dialogs/progressdialog.h"
#include "widgets/dialogs/setupdialogs.h"
#include "widgets/palettewindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>

namespace pavelora {

namespace {

// The client area without a document, and around the board.
const QColor kBackground(64, 64, 64);

double screenPxPerMm(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen == nullptr ? 96.0
                       : horizontal      ? screen->logicalDotsPerInchX()
                                         : screen->logicalDotsPerInchY();
    return pixelsPerMillimetre(dpi);
}

QString qtFilter(const FileFilter& filter) {
    return filter.description + QStringLiteral(" (") + filter.pattern + QStringLiteral(")");
}

bool folderExists(const QString& path) {
    return QFileInfo(path).absoluteDir().exists();
}

void refuseMissingFolder(QWidget* parent, const QString& path) {
    QMessageBox::warning(
        parent, parent->windowTitle(),
        path + QStringLiteral("\nこのフォルダは存在しません。パスを確認してください。"));
}

// A save dialog that takes only a path in a folder that exists.
class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !folderExists(files.front())) {
            refuseMissingFolder(this, files.front());
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

// The status bar: five parts of equal width, part k ending at (k + 1) × (W / 5).
class StatusBar : public QStatusBar {
public:
    explicit StatusBar(QWidget* parent) : QStatusBar(parent) {
        setObjectName(QStringLiteral("70000"));
        setSizeGripEnabled(false);
        for (QLabel*& part : parts) {
            part = new QLabel(this);
            part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
    }
    std::array<QLabel*, 5> parts{};

protected:
    void resizeEvent(QResizeEvent* event) override {
        QStatusBar::resizeEvent(event);
        const std::array<int, 5> edges = statusPartEdges(width());
        int left = 0;
        for (int k = 0; k < 5; ++k) {
            parts[k]->setGeometry(left, 0, edges[k] - left, height());
            left = edges[k];
        }
    }
};

// The board view: the back buffer at the board origin on the dark background. Mouse, keys
// and wheel go to the board input.
class MainWindow::Canvas : public QWidget {
public:
    Canvas(MainWindow& window, BoardInput& input, QWidget* parent)
        : QWidget(parent), window_(window), input_(input) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(false);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        painter.fillRect(rect(), kBackground);
        const BoardPicture picture = input_.picture();
        if (picture.image != nullptr) {
            painter.drawImage(picture.origin, *picture.image);
            drawRulesOverlay(painter, picture.overlay);
        }
    }
    // The editor hears of the new size from the event loop: the first size change may open
    // a document, and so a palette window, which must not happen while Qt is still showing
    // the main window's children.
    void resizeEvent(QResizeEvent*) override {
        QTimer::singleShot(0, this, [this] { window_.editor().resized(width(), height()); });
    }

    void mousePressEvent(QMouseEvent* event) override {
        window_.showPalette();
        const QPoint at = event->position().toPoint();
        if (event->button() == Qt::LeftButton) {
            input_.leftButtonDown(at.x(), at.y());
        } else if (event->button() == Qt::RightButton) {
            input_.rightButtonDown(at.x(), at.y(), event->modifiers().testFlag(Qt::ShiftModifier));
        }
    }
    // While a button is held the canvas keeps receiving the mouse, even outside it.
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        input_.mouseMove(at.x(), at.y());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            const QPoint at = event->position().toPoint();
            input_.leftButtonUp(at.x(), at.y());
        }
    }
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->angleDelta();
        input_.wheel(delta.y() != 0 ? delta.y() : delta.x());
    }
    void keyPressEvent(QKeyEvent* event) override {
        input_.keyDown(boardKey(event->key()), event->modifiers().testFlag(Qt::ShiftModifier));
    }
    // Auto-repeat comes as releases and presses in turn: only the last release counts.
    void keyReleaseEvent(QKeyEvent* event) override {
        if (!event->isAutoRepeat()) {
            input_.keyUp(boardKey(event->key()));
        }
    }

private:
    static BoardKey boardKey(int key) {
        switch (key) {
        case Qt::Key_Space:
            return BoardKey::Space;
        case Qt::Key_Left:
            return BoardKey::Left;
        case Qt::Key_Up:
            return BoardKey::Up;
        case Qt::Key_Right:
            return BoardKey::Right;
        case Qt::Key_Down:
            return BoardKey::Down;
        case Qt::Key_Delete:
            return BoardKey::Delete;
        case Qt::Key_F1:
            return BoardKey::F1;
        case Qt::Key_F2:
            return BoardKey::F2;
        case Qt::Key_F3:
            return BoardKey::F3;
        case Qt::Key_F4:
            return BoardKey::F4;
        case Qt::Key_F5:
            return BoardKey::F5;
        case Qt::Key_F6:
            return BoardKey::F6;
        default:
            return BoardKey::Other;
        }
    }

    MainWindow& window_;
    BoardInput& input_;
};

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("ZIRUZ"));
    setWindowTitle(QStringLiteral("Pavelora"));
    setWindowIcon(applicationIcon());

    editor_ = std::make_unique<Editor>(*this, screenPxPerMm(true), screenPxPerMm(false));

    auto* central = new QWidget(this);
    canvas_ = new Canvas(*this, editor_->board(), central);
    hbar_ = new QScrollBar(Qt::Horizontal, central);
    vbar_ = new QScrollBar(Qt::Vertical, central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(canvas_, 0, 0);
    grid->addWidget(vbar_, 0, 1);
    grid->addWidget(hbar_, 1, 0);
    setCentralWidget(central);
    hbar_->hide();
    vbar_->hide();

    status_ = new StatusBar(this);
    setStatusBar(status_);

    blinkTimer_ = new QTimer(this);
    blinkTimer_->setInterval(500);
    connect(blinkTimer_, &QTimer::timeout, this, [this] { editor_->board().timerTick(); });
    recoveryTimer_ = new QTimer(this);
    connect(recoveryTimer_, &QTimer::timeout, this,
            [this] { editor_->session().recoveryTimerElapsed(); });
    for (QScrollBar* bar : {hbar_, vbar_}) {
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, bar](int action) { scrollBarAction(bar, action); });
        bar->installEventFilter(this);
        // "ここにスクロール" of the bar's context menu sets the value without an action: it
        // is a thumb position.
        connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
            const Document* doc = editor_->document();
            const ScrollBarState* state = doc == nullptr ? nullptr
                                          : bar == hbar_ ? &doc->view.horizontal
                                                         : &doc->view.vertical;
            if (state != nullptr && state->position != value) {
                editor_->board().scroll(bar->orientation(), ScrollRequest::Thumb, value);
                bar->setSliderPosition(state->position);
            }
        });
    }

    buildMenu();
    menuChanged(editor_->menu());

    // A twentieth of the screen from its corner, eighteen twentieths of it in size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const int w = area.width() / 20;
        const int h = area.height() / 20;
        setGeometry(area.x() + w, area.y() + h, 18 * w, 18 * h);
    }
}

MainWindow::~MainWindow() {
    // The editor refers to nothing of the window, but the palette window refers to the
    // editor's palette: it goes first.
    delete palette_;
    palette_ = nullptr;
}

QAction* MainWindow::action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

QWidget* MainWindow::boardView() const {
    return canvas_;
}

std::array<QLabel*, 5> MainWindow::statusParts() const {
    return status_->parts;
}

void MainWindow::scrollBarAction(QScrollBar* bar, int action) {
    ScrollRequest request = ScrollRequest::Done;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        request = ScrollRequest::LineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        request = ScrollRequest::LineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        request = ScrollRequest::PageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        request = ScrollRequest::PageForward;
        break;
    case QAbstractSlider::SliderMove:
        request = ScrollRequest::Thumb;
        break;
    case QAbstractSlider::SliderToMinimum:
        request = ScrollRequest::Start;
        break;
    case QAbstractSlider::SliderToMaximum:
        request = ScrollRequest::End;
        break;
    default:
        break;
    }
    const Document* doc = editor_->document();
    const ScrollBarState* state = nullptr;
    if (doc != nullptr) {
        state = bar == hbar_ ? &doc->view.horizontal : &doc->view.vertical;
    }
    const int before = state != nullptr ? state->position : bar->value();
    editor_->board().scroll(bar->orientation(), request, bar->sliderPosition());
    // The bar would otherwise take the step it computed itself.
    bar->setSliderPosition(state != nullptr ? state->position : before);
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("ZIRUZ"));
    QMenu* menu = nullptr;
    for (const MenuItem& item : MainMenu) {
        const QString text = QString::fromUtf8(item.text);
        if (item.id == 0) {
            menu = bar->addMenu(text);
            continue;
        }
        const QString key = QString::fromUtf8(item.accelerator);
        auto* action = menu->addAction(text + QLatin1Char('\t') + key);
        action->setObjectName(QString::number(item.id));
        action->setData(item.id);
        action->setCheckable((item.id >= cmd::TileMode && item.id <= cmd::PatternOff) ||
                             item.id == cmd::ShowDeadEnds || item.id == cmd::ShowCandidates);
        // Of two items showing one key, only the first in the accelerator table acts; a key
        // that is not Ctrl + letter ("元に戻す") belongs to its item alone.
        if (!key.isEmpty() && (!key.startsWith(QLatin1String("Ctrl+")) ||
                               acceleratorCommand(key.back().toLatin1()) == item.id)) {
            action->setShortcut(QKeySequence(key));
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id, action] {
            // Checkable items toggle themselves when clicked; the menu state decides.
            action->setChecked(editor_->menu().checked(id));
            editor_->invokeMenuCommand(id);
        });
        actions_[item.id] = action;
        if (item.separatorAfter) {
            menu->addSeparator();
        }
    }
}

// --- Shell ---

bool MainWindow::askYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::showMessage(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text,
                    QMessageBox::Ok, this);
    box.exec();
}

QString MainWindow::chooseOpenFile(const FileFilter& filter) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setDefaultSuffix(filter.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

QString MainWindow::chooseSaveFile(const FileFilter& filter, const QString& current) {
    SaveFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters{qtFilter(filter)};
    for (const FileFilter& other : filter.alternatives) {
        filters << qtFilter(other);
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(filter.defaultSuffix);
    // The suffix added to a bare name follows the type chosen.
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, &filter, filters](const QString& chosen) {
                const qsizetype index = filters.indexOf(chosen);
                if (index > 0) {
                    dialog.setDefaultSuffix(
                        filter.alternatives[static_cast<std::size_t>(index - 1)].defaultSuffix);
                } else if (index == 0) {
                    dialog.setDefaultSuffix(filter.defaultSuffix);
                }
            });
    if (!current.isEmpty()) {
        dialog.selectFile(current);
    }
    // A dialog of the desktop's own does not ask the widget: it is asked again.
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = dialog.selectedFiles().front();
        if (folderExists(path)) {
            return path;
        }
        refuseMissingFolder(this, path);
    }
    return {};
}

std::optional<NewDocumentChoice> MainWindow::runNewDocumentDialog() {
    NewFileDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

std::optional<GenerateChoice> MainWindow::runGenerateDialog(std::int32_t tileSetCode) {
    GenerateDialog dialog(tileSetCode, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

void MainWindow::runSettingsDialog(int command) {
    if (!editor_->documentOpen()) {
        return;
    }
    auto percent = [this](PercentSetting setting) {
        PercentDialog dialog(editor_->settings(), setting, this);
        dialog.exec();
    };
    auto colours = [this](ColourSheetKind kind) {
        ColourSheet sheet(editor_->settings(), kind, this);
        sheet.exec();
    };
    switch (command) {
    case cmd::PrintSetup:
        runPrintSetup();
        break;
    case cmd::JpegSetup:
        runJpegSetup();
        break;
    case cmd::TileSize:
        percent(PercentSetting::TileSize);
        break;
    case cmd::OutlineWidth:
        percent(PercentSetting::OutlineWidth);
        break;
    case cmd::Zoom:
        percent(PercentSetting::Zoom);
        break;
    case cmd::TileColour:
        colours(ColourSheetKind::TileColours);
        break;
    case cmd::PairColour:
        colours(ColourSheetKind::PairColours);
        break;
    case cmd::BoardColour:
        colours(ColourSheetKind::BoardColour);
        break;
    default:
        break;
    }
}

void MainWindow::runPrintSetup() {
    PrintSetupDialog dialog(editor_->settings(), this);
    dialog.exec();
}

void MainWindow::runJpegSetup() {
    JpegSetupDialog dialog(editor_->settings(), this);
    dialog.exec();
}

void MainWindow::runPrint() {
    if (const Document* doc = editor_->document()) {
        printBoard(this, *doc);
    }
}

void MainWindow::showAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::showHelp() {
    if (help_ == nullptr) {
        help_ = new HelpViewer(this);
    }
    help_->show();
    help_->raise();
}

void MainWindow::setTitle(const QString& title) {
    setWindowTitle(title);
}

void MainWindow::setStatusTexts(const std::array<QString, 5>& texts) {
    for (int k = 0; k < 5; ++k) {
        status_->parts[k]->setText(texts[k]);
    }
}

void MainWindow::menuChanged(const MenuState& menu) {
    for (auto& [id, action] : actions_) {
        action->setEnabled(menu.enabled(id));
        const QString text = menu.text(id); // "元に戻す" and "やり直し" name their change
        if (!text.isEmpty()) {
            action->setText(text + QLatin1Char('\t') +
                            action->shortcut().toString(QKeySequence::PortableText));
        }
        if (action->isCheckable()) {
            action->setChecked(menu.checked(id));
        }
    }
}

void MainWindow::setBlinkTimer(bool running) {
    if (running) {
        blinkTimer_->start();
    } else {
        blinkTimer_->stop();
    }
}

void MainWindow::setRecoveryTimer(int intervalMs) {
    if (intervalMs > 0) {
        recoveryTimer_->start(intervalMs);
    } else {
        recoveryTimer_->stop();
    }
}

void MainWindow::repaint(const QRegion& region) {
    canvas_->update(region);
}

void MainWindow::repaintAll() {
    canvas_->update();
}

void MainWindow::scrollBarsChanged() {
    const Document* doc = editor_->document();
    auto apply = [](QScrollBar* bar, const ScrollBarState* state, int lineStep) {
        if (state == nullptr || state->maximum < 0) {
            bar->hide();
            return;
        }
        const QSignalBlocker block(bar);
        bar->setRange(0, state->maximum);
        bar->setValue(state->position);
        bar->setSingleStep(std::max(1, lineStep));
        bar->setPageStep(std::max(1, 5 * lineStep));
        bar->show();
    };
    apply(hbar_, doc ? &doc->view.horizontal : nullptr, doc ? doc->view.lineStepX : 0);
    apply(vbar_, doc ? &doc->view.vertical : nullptr, doc ? doc->view.lineStepY : 0);
}

void MainWindow::setTileCursor(bool on) {
    const QCursor cursor = on ? tileCursor() : QCursor(Qt::ArrowCursor);
    canvas_->setCursor(cursor);
    if (palette_ != nullptr) {
        palette_->setCursor(cursor);
    }
}

void MainWindow::focusMainWindow() {
    activateWindow();
    canvas_->setFocus();
}

void MainWindow::quit() {
    quitting_ = true;
    closePalette();
    close();
    QApplication::quit();
}

QFont MainWindow::paletteFont() {
    return font();
}

QSize MainWindow::openPalette(const QString& title, QSize size) {
    closePalette();
    palette_ = new PaletteWindow(editor_->palette(), this, canvas_);
    palette_->setWindowTitle(title);
    // The size given is the window's, its caption included.
    constexpr int caption = 30;
    palette_->resize(size.width(), std::max(1, size.height() - caption));
    // Beside the main window's left edge, level with the top of its board area (below the
    // menu bar, which Qt counts into the window's client area).
    palette_->move(frameGeometry().left(), geometry().top() + menuBar()->height());
    palette_->show();
    return palette_->size();
}

void MainWindow::showPalette() {
    if (palette_ != nullptr) {
        palette_->setWindowState(palette_->windowState() & ~Qt::WindowMinimized);
        palette_->show();
        palette_->raise();
    }
}

void MainWindow::paletteChanged() {
    if (palette_ != nullptr) {
        palette_->update();
    }
}

void MainWindow::closePalette() {
    if (palette_ != nullptr) {
        palette_->hide();
        palette_->deleteLater();
        palette_ = nullptr;
    }
}

Progress& MainWindow::progress() {
    if (progress_ == nullptr) {
        progress_ = new ProgressDialog(this);
    }
    return *progress_;
}

void MainWindow::closeProgress() {
    if (progress_ != nullptr) {
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && (watched == hbar_ || watched == vbar_)) {
        const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
        editor_->board().wheel(delta.y() != 0 ? delta.y() : delta.x());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (quitting_ || editor_->closeRequested()) {
        quitting_ = true;
        closePalette();
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace pavelora
