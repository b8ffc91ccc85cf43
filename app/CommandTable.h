// The main window's commands as data: command ids, the menu bar, the accelerators, the
// toolbar and the string table of status prompts and tooltips. The frame builds its menus,
// shortcuts and buttons from these tables and from nothing else.
#pragma once

#include <QKeyCombination>
#include <QString>
#include <span>

// Command ids. Handlers find their command by these numbers (CMainFrame::Action).
inline constexpr int ID_SEPARATOR = 0;  // a separator in the menu and toolbar tables
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_READ_FROM_RADIO = 32771;
inline constexpr int ID_WRITE_TO_RADIO = 32772;
inline constexpr int ID_COM1 = 32773;
inline constexpr int ID_COM2 = 32775;
inline constexpr int ID_COM3 = 32776;
inline constexpr int ID_COM4 = 32777;
inline constexpr int ID_TEST_MODE = 32778;
inline constexpr int ID_EDIT_CHANNEL = 32780;
inline constexpr int ID_OPTIONAL_FEATURES = 32784;
inline constexpr int ID_COMPARE_WITH_RADIO = 32800;
inline constexpr int ID_RESTORE_FROM_BACKUP = 32801;
inline constexpr int ID_BACKUP_BEFORE_WRITING = 32802;
inline constexpr int ID_VERIFY_AFTER_WRITING = 32803;
inline constexpr int ID_HELP_GUIDE = 32804;
inline constexpr int ID_PRODUCTION_MODE = 32805;
inline constexpr int ID_CHECK_CONNECTION = 32806;
inline constexpr int ID_CLEAR_CHANNELS = 32807;
inline constexpr int ID_INSERT_CHANNEL = 32808;
inline constexpr int ID_DELETE_CHANNEL = 32809;
inline constexpr int ID_MOVE_CHANNEL_UP = 32810;
inline constexpr int ID_MOVE_CHANNEL_DOWN = 32811;
inline constexpr int ID_PREVIEW_CLOSE = 61445;

// Whether a command may run while the radio is being read, written, compared or restored.
// The run keeps the window's events flowing, so a command then runs inside the exchange: one
// that changes the document or the form, uses the port, or opens a window or box of its own
// would stall the exchange or pull the ground from under it. Only Allowed commands stay live.
enum class DuringRun { Refused, Allowed };

// Every command the window knows, with its name. Each gets one action, whether or not a
// menu item, button or key reaches it, so any handler can attach to any of them.
struct CommandName {
    int id;
    const char* name;
    DuringRun duringRun = DuringRun::Refused;
};
std::span<const CommandName> CommandNames();

// One menu item: its text ("\t" separates the shortcut shown at the right) and command,
// or a separator (id ID_SEPARATOR, text nullptr).
struct MenuItem {
    int id;
    const char* text;
};

struct MenuTemplate {
    const char* title;
    std::span<const MenuItem> items;
};

// The menu bar, left to right.
std::span<const MenuTemplate> MenuTable();

// The menu item of command id as the table has it, with addition put in before the shortcut
// shown at its right (or at its end): "&Undo\tCtrl+Z" + " Rx Tone of CH 3" gives
// "&Undo Rx Tone of CH 3\tCtrl+Z".
QString MenuItemText(int id, const QString& addition = QString());

// Where the user finds command id, as messages name it: its menu and item without their
// access keys and shortcut, "Program > Restore Radio From Backup...".
QString MenuPath(int id);

struct Accelerator {
    QKeyCombination keys;
    int id;
};

// The keys that run commands anywhere in the window. Those shown beside the channel items of
// the Edit menu are the grid's own and not among them.
std::span<const Accelerator> AcceleratorTable();

// The toolbar buttons in order, ID_SEPARATOR between groups.
std::span<const int> ToolbarTable();

struct CommandString {
    int id;
    const char* text;  // "prompt\ntooltip"
};

std::span<const CommandString> StringTable();

// The status prompt of a command (its string up to the line feed), or an empty string.
QString CommandPrompt(int id);
// The tooltip of a command (its string after the line feed), or an empty string.
QString CommandTip(int id);

// The message pane's text while nothing is hovered.
inline constexpr const char* kIdlePrompt = "Ready";
// The message pane's text when a command is refused because a run with the radio goes.
inline constexpr const char* kMsgTransferRunning =
    "A transfer with the radio is running: wait for it to end, or press Cancel in its window.";

// The status bar's lock indicators, in pane order after the message pane.
inline constexpr const char* kIndicatorTexts[3] = {"CAP", "NUM", "SCRL"};
