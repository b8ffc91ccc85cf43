// The Edit menu's channel commands (Clear Channels, Insert Empty Channel, Delete Channel,
// Move Up, Move Down), also on the context menu of the grid's CH column and on the grid's
// keys. Each moves whole channel records in the image and is one step of the history.
#pragma once

class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;

void ConnectChannelRowCommands(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view);
