// The Edit menu's channel commands (Clear Channels, Insert Empty Channel, Delete Channel,
// Move Up, Move Down), also on the context menu of the grid's CH column and on the grid's
// keys. Each moves whole channel records in the image and is one step of the history.
// The context menu and the keys reach Cut, Copy and Paste too (ChannelClipboardCommands).
#pragma once

#include <QList>
#include <QString>

class CMSFlexGrid;
class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;

void ConnectChannelRowCommands(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view);

// The channels a command acts on: those chosen on the CH column, else the current cell's.
QList<int> ChosenChannels(const CMSFlexGrid& grid);

// "CH 3" or "3 Channels", for a step's name.
QString ChannelWords(const QList<int>& rows);
