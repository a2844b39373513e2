#pragma once

#include "core/board/restore.h"

#include <QString>
#include <QUndoCommand>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

namespace pavelora {

class EditorScreen;

// One step of a change of the board, kept as places and records so that it can be taken
// back and done again exactly. Steps are done in order and undone in reverse order.
struct BoardStep {
    enum class Kind {
        TileIn,      // a recorded tile comes onto the board at (group, tile)
        TileOut,     // the tile at (group, tile) goes
        GroupTo,     // the group at `group` moves to `to` in the display list
        TileTo,      // the tile at `tile` of the group moves to `to` in its list
        Coordinates, // positions of one group (or all, group -1) exchanged with `values`
        Order,       // the display list reordered by `order`
        Count,       // the palette count of kind `tile` changes by `to`
    };
    Kind kind = Kind::TileIn;
    int group = 0;
    int tile = 0;
    int to = 0;
    bool ownGroup = false;
    TileState record;
    std::vector<double> values;
    std::vector<int> order;
};

// The part of the editor that carries the steps out on the open document and the screen.
class BoardReplay {
public:
    virtual ~BoardReplay() = default;
    // Does (forward) or undoes a change; the selection is dropped first.
    virtual void replay(std::vector<BoardStep>& steps, bool forward) = 0;
};

// A change on the undo stack. It is pushed after the change was made, so the stack's first
// call to redo does nothing.
class EditCommand : public QUndoCommand {
public:
    explicit EditCommand(const QString& name) : QUndoCommand(name) {}
    void redo() final;
    void undo() final { apply(false); }

protected:
    virtual void apply(bool forward) = 0;

private:
    bool done_ = true;
};

// A change of the board. Changes with the same merge id that follow each other (the lifts
// of successive clicks) become one.
class BoardCommand : public EditCommand {
public:
    BoardCommand(const QString& name, BoardReplay& target, std::vector<BoardStep> steps,
                 int mergeId = -1)
        : EditCommand(name), target_(target), steps_(std::move(steps)), mergeId_(mergeId) {}
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override;

protected:
    void apply(bool forward) override { target_.replay(steps_, forward); }

private:
    BoardReplay& target_;
    std::vector<BoardStep> steps_;
    int mergeId_;
};

// A change of a setting: `set(true)` puts the new value in place, `set(false)` the old.
class SettingCommand : public EditCommand {
public:
    SettingCommand(const QString& name, std::function<void(bool)> set)
        : EditCommand(name), set_(std::move(set)) {}

protected:
    void apply(bool forward) override { set_(forward); }

private:
    std::function<void(bool)> set_;
};

// The undo stack of the open document, and what the menu shows of it: "元に戻す" and
// "やり直し" with the name of the change they would take back or do again, disabled with
// nothing to undo or redo and while a drag is under way; "名前を付けて保存" enabled exactly
// when the document differs from its clean state (new, saved or opened).
class EditHistory {
public:
    static constexpr int Limit = 1000;

    explicit EditHistory(EditorScreen& screen) : screen_(screen) {}
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // A document starts with an empty stack; it goes with its stack.
    void start();
    void stop();

    // Adds a change that has been made. Nothing is added while a change is being undone or
    // redone, or without a document.
    void push(std::unique_ptr<EditCommand> command);
    void pushBoard(const QString& name, BoardReplay& target, std::vector<BoardStep> steps,
                   int mergeId = -1);
    void pushSetting(const QString& name, std::function<void(bool)> set);
    bool undo();
    bool redo();
    bool replaying() const { return replaying_; }

    // The document is saved (or opened): this is its clean state.
    void setClean();
    // The document differs from every state of its stack (restored from a recovery copy):
    // it stays changed until it is saved.
    void setNeverClean();
    // Called after every change pushed, undone or redone.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }
    // The document differs from its clean state.
    bool changed() const;
    // A drag is under way: no undo or redo.
    void setBusy(bool busy);

    const QUndoStack* stack() const { return stack_.get(); }
    // Shows the stack's state in the menu.
    void showMenu();

private:
    void notify();

    EditorScreen& screen_;
    std::unique_ptr<QUndoStack> stack_;
    bool replaying_ = false;
    bool busy_ = false;
    std::function<void()> listener_;
};

} // namespace pavelora
