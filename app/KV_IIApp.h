// The application object: starts the program, owns the tone list and the single document,
// main window and form, and carries out the document commands (New, Open, Save, Save As).
#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

#include "ToneList.h"

class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;

class CKV_IIApp : public QApplication {
    Q_OBJECT

public:
    // Where the settings live, and how many recent files they remember.
    static constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";
    static constexpr const char* kProfileName = "KV_II";
    static constexpr int kRecentFileCount = 4;

    CKV_IIApp(int& argc, char** argv);
    ~CKV_IIApp() override;

    // Start-up with the command line's arguments (without the program name): a new
    // document, or the file named. False when start-up fails; then no window was shown.
    bool InitInstance(const QStringList& arguments);
    // Closes the window and releases the document, frame and form (tests start again).
    void ExitInstance();

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // Asks to save unsaved changes, then opens path; false when nothing was opened.
    bool OpenDocumentFile(const QString& path);

    QStringList RecentFiles() const;

    ToneList m_toneList;
    bool m_bEditorsCreated = false;

    CKV_IIDoc* Document() const { return m_pDoc.get(); }
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CKV_IIView* View() const { return m_pView; }

private:
    void CreateDocumentWindows();
    void ConnectCommands();
    void NewDocument();
    bool OpenFile(const QString& path);
    void AddToRecentFileList(const QString& path);

    std::unique_ptr<CKV_IIDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    CKV_IIView* m_pView = nullptr;  // owned by the frame
};

// The one application object.
CKV_IIApp* theApp();
