#pragma once

#include "editor/editor.h"
#include "editor/shell.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QScrollBar;
class QTimer;

namespace pavelora {

class AboutDialog;
class HelpViewer;
class PaletteWindow;
class ProgressDialog;
class StatusBar;

// The main window ("ZIRUZ"): menu, board view with its scroll bars, and the status bar
// (70000). It shows what the editor does and hands it the user's commands.
class MainWindow : public QMainWindow, public Shell {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Editor& editor() { return *editor_; }
    QAction* action(int command) const;
    QWidget* boardView() const;
    QScrollBar* horizontalBar() const { return hbar_; }
    QScrollBar* verticalBar() const { return vbar_; }
    PaletteWindow* paletteWindow() const { return palette_; }
    std::array<QLabel*, 5> statusParts() const;

    // Shell
    bool askYesNo(const QString& text, const QString& caption) override;
    void showMessage(const QString& text, const QString& caption, Icon icon) override;
    QString chooseOpenFile(const FileFilter& filter) override;
    QString chooseSaveFile(const FileFilter& filter, const QString& current) override;
    std::optional<NewDocumentChoice> runNewDocumentDialog() override;
    void runSettingsDialog(int command) override;
    std::optional<GenerateChoice> runGenerateDialog(std::int32_t tileSetCode) override;
    void runPrint() override;
    void showAbout() override;
    void showHelp() override;
    void setTitle(const QString& title) override;
    void setStatusTexts(const std::array<QString, 5>& texts) override;
    void menuChanged(const MenuState& menu) override;
    void setBlinkTimer(bool running) override;
    void setRecoveryTimer(int intervalMs) override;
    void repaint(const QRegion& region) override;
    void repaintAll() override;
    void scrollBarsChanged() override;
    void setTileCursor(bool on) override;
    void focusMainWindow() override;
    void quit() override;
    QFont paletteFont() override;
    QSize openPalette(const QString& title, QSize clientSize) override;
    void paletteChanged() override;
    void closePalette() override;
    Progress& progress() override;
    void closeProgress() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The wheel over a scroll bar is the board's wheel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Canvas;
    void buildMenu();
    void scrollBarAction(QScrollBar* bar, int action);
    // Shows the palette window again where the user closed it, and above the main window.
    void showPalette();
    // "PrintSetupDB" and "JpegSetupDB", which store their settings on OK.
    void runPrintSetup();
    void runJpegSetup();

    std::unique_ptr<Editor> editor_;
    Canvas* canvas_ = nullptr;
    QScrollBar* hbar_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    StatusBar* status_ = nullptr;
    QTimer* blinkTimer_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    PaletteWindow* palette_ = nullptr;
    ProgressDialog* progress_ = nullptr;
    HelpViewer* help_ = nullptr;
    std::map<int, QAction*> actions_;
    bool quitting_ = false;
};

} // namespace pavelora
