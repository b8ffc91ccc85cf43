// Edit > Cut, Copy and Paste of whole channels (also on the CH column's context menu and on
// Ctrl+X, Ctrl+C and Ctrl+V while the grid has the keyboard). The clipboard gets the channels
// as tab-separated cells for a spreadsheet and as their records for the program itself; Paste
// takes either, from the first chosen channel on, as one step of the history.
#pragma once

class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;
class ToneList;

// The type the channel records are put on the clipboard as.
inline constexpr char kChannelRecordsMime[] = "application/x-kvprog-channels";

void ConnectChannelClipboardCommands(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view,
                                     const ToneList& tones);
