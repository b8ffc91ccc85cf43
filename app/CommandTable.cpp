#include "CommandTable.h"

#include <algorithm>

namespace {

// Allowed during a run: only what touches neither the document, the form nor the port and
// opens no window or box. Copy is not: it commits the open edit, which may refuse it with a
// box; nor is the user guide, which tells a missing file in a box.
constexpr CommandName kCommandNames[] = {
    {ID_FILE_NEW, "ID_FILE_NEW"},
    {ID_FILE_OPEN, "ID_FILE_OPEN"},
    {ID_FILE_SAVE, "ID_FILE_SAVE"},
    {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS"},
    {ID_FILE_PRINT_SETUP, "ID_FILE_PRINT_SETUP"},
    {ID_FILE_PRINT, "ID_FILE_PRINT"},
    {ID_FILE_PRINT_DIRECT, "ID_FILE_PRINT_DIRECT"},
    {ID_FILE_PRINT_PREVIEW, "ID_FILE_PRINT_PREVIEW"},
    {ID_EDIT_CUT, "ID_EDIT_CUT"},
    {ID_EDIT_COPY, "ID_EDIT_COPY"},
    {ID_EDIT_PASTE, "ID_EDIT_PASTE"},
    {ID_EDIT_UNDO, "ID_EDIT_UNDO"},
    {ID_EDIT_REDO, "ID_EDIT_REDO"},
    {ID_APP_ABOUT, "ID_APP_ABOUT"},
    {ID_APP_EXIT, "ID_APP_EXIT"},
    {ID_NEXT_PANE, "ID_NEXT_PANE"},
    {ID_PREV_PANE, "ID_PREV_PANE"},
    {ID_VIEW_TOOLBAR, "ID_VIEW_TOOLBAR", DuringRun::Allowed},
    {ID_VIEW_STATUS_BAR, "ID_VIEW_STATUS_BAR", DuringRun::Allowed},
    {ID_READ_FROM_RADIO, "ID_READ_FROM_RADIO"},
    {ID_WRITE_TO_RADIO, "ID_WRITE_TO_RADIO"},
    {ID_COM1, "ID_COM1"},
    {ID_COM2, "ID_COM2"},
    {ID_COM3, "ID_COM3"},
    {ID_COM4, "ID_COM4"},
    {ID_TEST_MODE, "ID_TEST_MODE"},
    {ID_EDIT_CHANNEL, "ID_EDIT_CHANNEL"},
    {ID_OPTIONAL_FEATURES, "ID_OPTIONAL_FEATURES"},
    {ID_COMPARE_WITH_RADIO, "ID_COMPARE_WITH_RADIO"},
    {ID_RESTORE_FROM_BACKUP, "ID_RESTORE_FROM_BACKUP"},
    {ID_BACKUP_BEFORE_WRITING, "ID_BACKUP_BEFORE_WRITING"},
    {ID_VERIFY_AFTER_WRITING, "ID_VERIFY_AFTER_WRITING"},
    {ID_HELP_GUIDE, "ID_HELP_GUIDE"},
    {ID_PRODUCTION_MODE, "ID_PRODUCTION_MODE"},
    {ID_CHECK_CONNECTION, "ID_CHECK_CONNECTION"},
    {ID_CLEAR_CHANNELS, "ID_CLEAR_CHANNELS"},
    {ID_INSERT_CHANNEL, "ID_INSERT_CHANNEL"},
    {ID_DELETE_CHANNEL, "ID_DELETE_CHANNEL"},
    {ID_MOVE_CHANNEL_UP, "ID_MOVE_CHANNEL_UP"},
    {ID_MOVE_CHANNEL_DOWN, "ID_MOVE_CHANNEL_DOWN"},
    {ID_PREVIEW_CLOSE, "ID_PREVIEW_CLOSE"},
};

constexpr MenuItem kSeparator = {ID_SEPARATOR, nullptr};

constexpr MenuItem kFileMenu[] = {
    {ID_FILE_NEW, "&New\tCtrl+N"},
    {ID_FILE_OPEN, "&Open...\tCtrl+O"},
    {ID_FILE_SAVE, "&Save\tCtrl+S"},
    {ID_FILE_SAVE_AS, "Save &As..."},
    kSeparator,
    {ID_FILE_PRINT, "&Print...\tCtrl+P"},
    {ID_FILE_PRINT_PREVIEW, "Print Pre&view"},
    {ID_FILE_PRINT_SETUP, "P&rint Setup..."},
    kSeparator,
    {ID_APP_EXIT, "E&xit"},
};

// The history's items show the step they act on; see EditHistory.cpp. The channel items act
// on the channels chosen on the grid's CH column (or the current cell's channel); their keys
// are the grid's own, taken only while it has the keyboard (ChannelRowCommands.cpp).
constexpr MenuItem kEditMenu[] = {
    {ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
    {ID_EDIT_REDO, "&Redo\tCtrl+Y"},
    kSeparator,
    {ID_EDIT_CUT, "Cu&t\tCtrl+X"},
    {ID_EDIT_COPY, "&Copy\tCtrl+C"},
    {ID_EDIT_PASTE, "&Paste\tCtrl+V"},
    {ID_CLEAR_CHANNELS, "C&lear Channels\tDel"},
    {ID_INSERT_CHANNEL, "&Insert Empty Channel"},
    {ID_DELETE_CHANNEL, "&Delete Channel"},
    {ID_MOVE_CHANNEL_UP, "Move &Up\tAlt+Up"},
    {ID_MOVE_CHANNEL_DOWN, "Move Do&wn\tAlt+Down"},
};

constexpr MenuItem kProgramMenu[] = {
    {ID_READ_FROM_RADIO, "&Read From Radio\tCtrl+R"},
    kSeparator,
    {ID_WRITE_TO_RADIO, "&Write To Radio\tCtrl+W"},
    kSeparator,
    {ID_TEST_MODE, "&Test Mode\tCtrl+T"},
    kSeparator,
    {ID_OPTIONAL_FEATURES, "Optional Features"},
    kSeparator,
    {ID_COMPARE_WITH_RADIO, "&Compare With Radio..."},
    {ID_RESTORE_FROM_BACKUP, "Re&store Radio From Backup..."},
    {ID_BACKUP_BEFORE_WRITING, "&Back Up Radio Before Writing"},
    {ID_VERIFY_AFTER_WRITING, "&Verify After Writing"},
    kSeparator,
    {ID_PRODUCTION_MODE, "&Production Mode..."},
    {ID_CHECK_CONNECTION, "Check Co&nnection..."},
};

constexpr MenuItem kPortMenu[] = {
    {ID_COM1, "COM1(&P)"},
    {ID_COM2, "COM2(&Q)"},
    {ID_COM3, "COM3(&S)"},
    {ID_COM4, "COM4(&T)"},
};

constexpr MenuItem kViewMenu[] = {
    {ID_VIEW_TOOLBAR, "&Toolbar"},
    {ID_VIEW_STATUS_BAR, "&Status Bar"},
};

constexpr MenuItem kHelpMenu[] = {
    {ID_HELP_GUIDE, "&User Guide\tF1"},
};

constexpr MenuTemplate kMenus[] = {
    {"&File", kFileMenu}, {"&Edit", kEditMenu}, {"&Program", kProgramMenu},
    {"P&ort", kPortMenu}, {"&View", kViewMenu}, {"&Help", kHelpMenu},
};

// Ctrl+E runs a command nothing handles, and the window has no panes for F6 to move
// between; the keys are bound all the same, so they are taken and do nothing.
constexpr Accelerator kAccelerators[] = {
    {Qt::CTRL | Qt::Key_N, ID_FILE_NEW},          {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
    {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},         {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
    {Qt::CTRL | Qt::Key_R, ID_READ_FROM_RADIO},   {Qt::CTRL | Qt::Key_W, ID_WRITE_TO_RADIO},
    {Qt::CTRL | Qt::Key_T, ID_TEST_MODE},         {Qt::CTRL | Qt::Key_E, ID_EDIT_CHANNEL},
    {QKeyCombination(Qt::Key_F6), ID_NEXT_PANE},  {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
    {QKeyCombination(Qt::Key_F1), ID_HELP_GUIDE}, {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
    {Qt::CTRL | Qt::Key_Y, ID_EDIT_REDO},         {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, ID_EDIT_REDO},
};

constexpr int kToolbar[] = {
    ID_FILE_NEW,       ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR,  ID_READ_FROM_RADIO,
    ID_WRITE_TO_RADIO, ID_TEST_MODE, ID_SEPARATOR, ID_FILE_PRINT, ID_APP_ABOUT,
};

// Some prompts end in a space before the line feed; the prompt keeps it.
constexpr CommandString kStrings[] = {
    {ID_READ_FROM_RADIO, "Read Data From Radio\nRead"},
    {ID_WRITE_TO_RADIO, "Write Data to Radio \nWrite"},
    {ID_COM1, "Choose Communication Port one \nCom1"},
    {ID_COM2, "Choose Communication Port two \nCom2"},
    {ID_COM3, "Choose Communication Port three \nCom3"},
    {ID_COM4, "Choose Communication Port four \nCom4"},
    {ID_TEST_MODE, "Debug TX Power,Squelch Level,Low Power Alert\nDebug on line"},
    {ID_EDIT_CHANNEL, "Edit channel Data \nEdit"},
    {ID_COMPARE_WITH_RADIO,
     "Read the radio and show how it differs from this document\nCompare With Radio"},
    {ID_RESTORE_FROM_BACKUP,
     "Write a backup of a radio back to the radio, with the steps of a write\nRestore"},
    {ID_BACKUP_BEFORE_WRITING,
     "Read the radio and keep a backup before each write\nBack Up Before Writing"},
    {ID_VERIFY_AFTER_WRITING,
     "Read the radio back after each write and check it holds what was sent\nVerify"},
    {ID_PRODUCTION_MODE,
     "Write this document into many radios on several ports, each with its own ID, and log "
     "every job\nProduction Mode"},
    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    {ID_EDIT_UNDO, "Undo the last change to the document\nUndo"},
    {ID_EDIT_REDO, "Redo the change undone last\nRedo"},
    {ID_EDIT_CUT, "Copy the selected channels to the clipboard and empty them\nCut"},
    {ID_EDIT_COPY, "Copy the selected channels to the clipboard\nCopy"},
    {ID_EDIT_PASTE,
     "Put the clipboard's channels on the selected channel and those after it\nPaste"},
    {ID_CLEAR_CHANNELS, "Empty the selected channels\nClear Channels"},
    {ID_INSERT_CHANNEL,
     "Insert an empty channel before the selected one, moving the channels after it down\n"
     "Insert Empty Channel"},
    {ID_DELETE_CHANNEL,
     "Delete the selected channels, moving the channels after them up\nDelete Channel"},
    {ID_MOVE_CHANNEL_UP, "Move the selected channels up by one\nMove Up"},
    {ID_MOVE_CHANNEL_DOWN, "Move the selected channels down by one\nMove Down"},
    {ID_HELP_GUIDE, "Open the user guide\nUser Guide"},
    {ID_CHECK_CONNECTION,
     "Find out why the radio does not answer on the chosen port\nCheck Connection"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_PREVIEW_CLOSE, "Close print preview mode\nCancel Preview"},
};

// The string of id split at its line feed: part 0 the prompt, part 1 the tooltip.
QString StringPart(int id, int part) {
    const auto found = std::find_if(std::begin(kStrings), std::end(kStrings),
                                    [id](const CommandString& s) { return s.id == id; });
    if (found == std::end(kStrings)) {
        return {};
    }
    const QString text = QString::fromUtf8(found->text);
    const qsizetype feed = text.indexOf(QLatin1Char('\n'));
    if (feed < 0) {
        return part == 0 ? text : QString();
    }
    return part == 0 ? text.left(feed) : text.mid(feed + 1);
}

}  // namespace

std::span<const CommandName> CommandNames() {
    return kCommandNames;
}

namespace {

// The menu holding command id and its item there; nulls when no menu holds it.
std::pair<const MenuTemplate*, const MenuItem*> FindMenuItem(int id) {
    for (const MenuTemplate& menu : kMenus) {
        for (const MenuItem& item : menu.items) {
            if (item.id == id) {
                return {&menu, &item};
            }
        }
    }
    return {nullptr, nullptr};
}

}  // namespace

QString MenuItemText(int id, const QString& addition) {
    const MenuItem* item = FindMenuItem(id).second;
    QString text = item ? QString::fromUtf8(item->text) : QString();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return text.insert(tab < 0 ? text.size() : tab, addition);
}

QString MenuPath(int id) {
    const auto [menu, item] = FindMenuItem(id);
    if (!item) {
        return {};
    }
    const auto plain = [](const char* text) {
        return QString::fromUtf8(text).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    };
    return plain(menu->title) + QStringLiteral(" > ") + plain(item->text);
}

std::span<const MenuTemplate> MenuTable() {
    return kMenus;
}

std::span<const Accelerator> AcceleratorTable() {
    return kAccelerators;
}

std::span<const int> ToolbarTable() {
    return kToolbar;
}

std::span<const CommandString> StringTable() {
    return kStrings;
}

QString CommandPrompt(int id) {
    return StringPart(id, 0);
}

QString CommandTip(int id) {
    return StringPart(id, 1);
}
