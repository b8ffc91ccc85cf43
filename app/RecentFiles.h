// The four files opened or saved last, remembered in the settings file, and their numbered
// items in the File menu above Exit ("&1 fleet.sin"), listed afresh each time the menu opens.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CMainFrame;

inline constexpr int kRecentFileCount = 4;

// Newest first.
QStringList RecentFiles();
void AddToRecentFiles(const QString& path);

// open is called with the path of the item chosen.
void ConnectRecentFilesMenu(CMainFrame& frame, std::function<void(const QString&)> open);
