// The Port menu: COM1 to COM4 with a check mark at the chosen port, and below them the
// serial ports present on this machine, listed afresh each time the menu opens.
#pragma once

class CMainFrame;
class CRadioController;

void ConnectPortMenu(CMainFrame& frame, CRadioController& radio);
