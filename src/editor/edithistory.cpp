#include "editor/edithistory.h"

#include "editor/commands.h"
#include "editor/editorscreen.h"

namespace pavelora {

void EditCommand::redo() {
    if (done_) {
        done_ = false; // made before it was pushed
        return;
    }
    apply(true);
}

bool BoardCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const BoardCommand*>(other);
    if (next == nullptr || next->mergeId_ != mergeId_ || &next->target_ != &target_) {
        return false;
    }
    steps_.insert(steps_.end(), next->steps_.begin(), next->steps_.end());
    return true;
}

void EditHistory::notify() {
    if (listener_) {
        listener_();
    }
}

void EditHistory::start() {
    stack_ = std::make_unique<QUndoStack>();
    stack_->setUndoLimit(Limit);
    busy_ = false;
    showMenu();
}

void EditHistory::stop() {
    stack_.reset();
    busy_ = false;
    showMenu();
}

void EditHistory::push(std::unique_ptr<EditCommand> command) {
    if (!stack_ || replaying_) {
        return;
    }
    stack_->push(command.release());
    showMenu();
    notify();
}

void EditHistory::pushBoard(const QString& name, BoardReplay& target, std::vector<BoardStep> steps,
                            int mergeId) {
    if (!steps.empty()) {
        push(std::make_unique<BoardCommand>(name, target, std::move(steps), mergeId));
    }
}

void EditHistory::pushSetting(const QString& name, std::function<void(bool)> set) {
    push(std::make_unique<SettingCommand>(name, std::move(set)));
}

bool EditHistory::undo() {
    if (!stack_ || busy_ || !stack_->canUndo()) {
        return false;
    }
    replaying_ = true;
    stack_->undo();
    replaying_ = false;
    showMenu();
    notify();
    return true;
}

bool EditHistory::redo() {
    if (!stack_ || busy_ || !stack_->canRedo()) {
        return false;
    }
    replaying_ = true;
    stack_->redo();
    replaying_ = false;
    showMenu();
    notify();
    return true;
}

void EditHistory::setClean() {
    if (stack_) {
        stack_->setClean();
        showMenu();
    }
}

void EditHistory::setNeverClean() {
    if (stack_) {
        stack_->resetClean();
        showMenu();
    }
}

bool EditHistory::changed() const {
    return stack_ && !stack_->isClean();
}

void EditHistory::setBusy(bool busy) {
    if (busy_ != busy) {
        busy_ = busy;
        showMenu();
    }
}

void EditHistory::showMenu() {
    MenuState& menu = screen_.menu();
    const QString undo = QStringLiteral("元に戻す");
    const QString redo = QStringLiteral("やり直し");
    const QString joiner = QStringLiteral(": ");
    const bool canUndo = stack_ && !busy_ && stack_->canUndo();
    const bool canRedo = stack_ && !busy_ && stack_->canRedo();
    menu.setEnabled(cmd::Undo, canUndo);
    menu.setEnabled(cmd::Redo, canRedo);
    menu.setText(cmd::Undo, canUndo ? undo + joiner + stack_->undoText() : undo);
    menu.setText(cmd::Redo, canRedo ? redo + joiner + stack_->redoText() : redo);
    if (stack_) {
        menu.setEnabled(cmd::SaveAs, changed());
    }
    screen_.menuChanged();
}

} // namespace pavelora
