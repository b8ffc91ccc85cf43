// The Edit menu's Undo and Redo over the document's history: every commit in the form is
// encoded into the image at once and recorded as a step; undo and redo put the image's bytes
// back and the form decodes them.
#pragma once

class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;

void ConnectEditHistory(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view);
