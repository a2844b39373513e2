#include "editor/commands.h"

#include <cctype>

namespace pavelora {

const std::array<MenuItem, 30> MainMenu = {{
    {0, "ファイル(&F)", "", false},
    {cmd::New, "新規(&N)...", "Ctrl+N", false},
    {cmd::Close, "閉じる(&C)", "Ctrl+C", true},
    {cmd::Open, "開く(&O)...", "Ctrl+O", false},
    {cmd::SaveAs, "名前を付けて保存...", "Ctrl+A", false},
    {cmd::Save, "上書保存", "Ctrl+S", true},
    {cmd::PrintSetup, "印刷設定(&U)...", "Ctrl+U", false},
    {cmd::Print, "印刷(&P)...", "Ctrl+P", true},
    {cmd::JpegSetup, "JPEG設定(&V)...", "Ctrl+V", false},
    {cmd::JpegExport, "JPEG保存(&J)...", "Ctrl+J", true},
    {cmd::Exit, "終了(&X)", "Ctrl+X", false},
    {0, "編集(&E)", "", false},
    {cmd::Undo, "元に戻す", "Alt+Backspace", false},
    {cmd::Redo, "やり直し", "Ctrl+Y", true},
    {cmd::TileSize, "タイルの寸法(&L)...", "Ctrl+L", false},
    {cmd::OutlineWidth, "タイル輪郭幅(&W)...", "Ctrl+W", true},
    {cmd::TileColour, "タイルの色(&C)...", "Ctrl+C", false},
    {cmd::PairColour, "対模様の色(&M)...", "Ctrl+M", false},
    {cmd::BoardColour, "ボードの色(&B)...", "Ctrl+B", true},
    {cmd::Zoom, "ズーム(&Z)...", "Ctrl+Z", true},
    {cmd::Generate, "パターン生成(&K)...", "Ctrl+K", false},
    {0, "オプション(&O)", "", false},
    {cmd::TileMode, "タイル単位に操作する(&T)", "Ctrl+T", false},
    {cmd::GroupMode, "結合グループ単位に操作する(&G)", "Ctrl+G", true},
    {cmd::PatternOn, "対模様オン(&A)", "Ctrl+A", false},
    {cmd::PatternOff, "対模様オフ(&R)", "Ctrl+R", true},
    {cmd::TidyOrder, "表示順整理(&D)", "Ctrl+D", false},
    {0, "ヘルプ(&H)", "", false},
    {cmd::Help, "Paveloraヘルプ(&H)...", "Ctrl+H", false},
    {cmd::About, "Paveloraについて(&I)...", "Ctrl+I", false},
}};

const std::array<Accelerator, 25> AcceleratorTable = {{
    {'N', cmd::New},        {'C', cmd::Close},      {'O', cmd::Open},
    {'A', cmd::SaveAs},     {'S', cmd::Save},       {'U', cmd::PrintSetup},
    {'P', cmd::Print},      {'V', cmd::JpegSetup},  {'J', cmd::JpegExport},
    {'X', cmd::Exit},       {'L', cmd::TileSize},   {'W', cmd::OutlineWidth},
    {'C', cmd::TileColour}, {'M', cmd::PairColour}, {'B', cmd::BoardColour},
    {'Z', cmd::Zoom},       {'T', cmd::TileMode},   {'G', cmd::GroupMode},
    {'A', cmd::PatternOn},  {'R', cmd::PatternOff}, {'D', cmd::TidyOrder},
    {'H', cmd::Help},       {'I', cmd::About},      {'Y', cmd::Redo},
    {'K', cmd::Generate},
}};

const std::array<int, 26> MenuCommands = {
    cmd::New,        cmd::Close,       cmd::Open,       cmd::SaveAs,       cmd::Save,
    cmd::PrintSetup, cmd::Print,       cmd::JpegSetup,  cmd::JpegExport,   cmd::Exit,
    cmd::Undo,       cmd::Redo,        cmd::TileSize,   cmd::OutlineWidth, cmd::TileColour,
    cmd::PairColour, cmd::BoardColour, cmd::Zoom,       cmd::Generate,     cmd::TileMode,
    cmd::GroupMode,  cmd::PatternOn,   cmd::PatternOff, cmd::TidyOrder,    cmd::Help,
    cmd::About,
};

int acceleratorCommand(char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const Accelerator& a : AcceleratorTable) {
        if (a.letter == upper) {
            return a.command;
        }
    }
    return 0;
}

} // namespace pavelora
