// The application object: starts the program, owns the tone list and the single document,
// main window and form, and carries out the document commands (New, Open, Save, Save As).
#pragma once

#include <QApplication>
#include <memory>

#include "CommandLine.h"
#include "ToneList.h"

class CKV_IIDoc;
class CKV_IIView;
class CMainFrame;
class CPrintCommands;
class CRadioController;

class CKV_IIApp : public QApplication {
    Q_OBJECT

public:
    CKV_IIApp(int& argc, char** argv);
    ~CKV_IIApp() override;

    enum class StartResult {
        Run,     // the window is shown: run the event loop
        Done,    // a command-line print finished: exit with status 0
        Failed,  // start-up failed (the user was told): exit with status 1, no window shown
    };

    // Start-up as the command line asks (ParseCommandLine): a new document, or the file
    // opened; a print option prints the file and ends without a window. The demo option
    // chooses the demo port (a simulated radio) for this run.
    StartResult InitInstance(const StartOptions& options);
    // Closes the window and releases the document, frame and form (tests start again).
    void ExitInstance();

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnOptionalFeatures();
    void OnTestMode();
    // Asks to save unsaved changes, then opens path; false when nothing was opened.
    bool OpenDocumentFile(const QString& path);

    ToneList m_toneList;
    bool m_bEditorsCreated = false;

    CKV_IIDoc* Document() const { return m_pDoc.get(); }
    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CKV_IIView* View() const { return m_pView; }
    CRadioController* Radio() const { return m_pRadio.get(); }

private:
    void CreateDocumentWindows();
    void ConnectCommands();
    void NewDocument();
    bool OpenFile(const QString& path);
    StartResult PrintFromCommandLine(const StartOptions& options);
    StartResult PrintFile(const StartOptions& options);
    // True (with a word in the status bar) while a clone run goes.
    bool RefuseWhileTransferring();

    std::unique_ptr<CKV_IIDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    CKV_IIView* m_pView = nullptr;  // owned by the frame
    std::unique_ptr<CPrintCommands> m_pPrint;
    std::unique_ptr<CRadioController> m_pRadio;
};

// The one application object.
CKV_IIApp* theApp();
