#include "KV_IIApp.h"

#include <QAction>
#include <QMenu>
#include <QSessionManager>

#include "ChannelClipboardCommands.h"
#include "ChannelRowCommands.h"
#include "CommandTable.h"
#include "EditHistory.h"
#include "FileDialog.h"
#include "Icons.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "LazyIconStyle.h"
#include "MainFrm.h"
#include "MessageBox.h"
#include "OptionalFeaturesDlg.h"
#include "PortMenu.h"
#include "PortNames.h"
#include "PrintCommands.h"
#include "RadioController.h"
#include "RecentFiles.h"

namespace {

// The write's two steps as checkable items. Their checks follow the controller, which reads
// them from the settings file the first time the Program menu opens, not at start-up.
void ConnectWriteOptions(CMainFrame& frame, CRadioController& radio) {
    QAction* backUp = frame.Action(ID_BACKUP_BEFORE_WRITING);
    QAction* verify = frame.Action(ID_VERIFY_AFTER_WRITING);
    for (QAction* option : {backUp, verify}) {
        option->setCheckable(true);
        option->setChecked(true);
    }
    QObject::connect(backUp, &QAction::triggered, &radio,
                     [&radio](bool on) { radio.SetBackUpBeforeWriting(on); });
    QObject::connect(verify, &QAction::triggered, &radio,
                     [&radio](bool on) { radio.SetVerifyAfterWriting(on); });
    if (QMenu* menu = frame.MenuOf(ID_BACKUP_BEFORE_WRITING)) {
        QObject::connect(menu, &QMenu::aboutToShow, &radio, [backUp, verify, &radio] {
            backUp->setChecked(radio.BackUpBeforeWriting());
            verify->setChecked(radio.VerifyAfterWriting());
        });
    }
}

}  // namespace

CKV_IIApp* theApp() {
    return qobject_cast<CKV_IIApp*>(QCoreApplication::instance());
}

CKV_IIApp::CKV_IIApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kAppTitle));
    UseLazyIconStyle();
    // Unsaved changes are offered for saving when the desktop session ends.
    connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (m_pDoc && m_pDoc->IsModified() && manager.allowsInteraction()) {
            if (!m_pDoc->SaveModified()) {
                manager.cancel();
            }
            manager.release();
        }
    });
}

CKV_IIApp::~CKV_IIApp() {
    ExitInstance();
}

CKV_IIApp::StartResult CKV_IIApp::InitInstance(const StartOptions& options) {
    if (m_toneList.size() == 0) {
        m_toneList.Build();
    }
    m_bEditorsCreated = false;
    CreateDocumentWindows();
    // This run's port is the demo radio. Nothing of it is remembered, so the next run starts
    // with the port it always starts with.
    if (options.demo) {
        m_pRadio->SetPort(
            QString::fromUtf8(kDemoPortName.data(), static_cast<qsizetype>(kDemoPortName.size())));
    }
    if (options.print != StartOptions::Print::None) {
        const StartResult printed = PrintFromCommandLine(options);
        ExitInstance();
        return printed;
    }
    if (options.file.isEmpty()) {
        NewDocument();
    } else if (!OpenFile(options.file)) {
        ExitInstance();
        return StartResult::Failed;
    }
    setWindowIcon(AppIcon());
    m_pMainWnd->setWindowIcon(AppIcon());
    m_pMainWnd->show();
    m_pMainWnd->setAcceptDrops(true);
    return StartResult::Run;
}

void CKV_IIApp::ExitInstance() {
    if (m_pMainWnd) {
        m_pMainWnd->SetCloseGuard(nullptr);
        m_pMainWnd->close();
    }
    m_pRadio.reset();
    m_pView = nullptr;
    m_pPrint.reset();
    m_pMainWnd.reset();
    m_pDoc.reset();
}

void CKV_IIApp::CreateDocumentWindows() {
    m_pDoc = std::make_unique<CKV_IIDoc>();
    m_pPrint = std::make_unique<CPrintCommands>();
    m_pMainWnd = std::make_unique<CMainFrame>();
    m_pView = new CKV_IIView(m_toneList, m_bEditorsCreated);
    m_pMainWnd->SetForm(m_pView);
    m_pView->SetImage(&m_pDoc->m_image);
    m_pRadio = std::make_unique<CRadioController>(*m_pView, m_toneList);
    m_pRadio->SetDocument(m_pDoc.get());
    m_pDoc->SetWindow(m_pMainWnd.get());
    // An edit still open in a cell is committed (or refused) before the form is saved.
    m_pDoc->SetEncodeHook([view = m_pView] {
        view->OnLeaveCellGrid();
        view->EncodeImage();
    });
    connect(m_pView, &CKV_IIView::hint, m_pMainWnd.get(), &CMainFrame::SetMessageText);
    connect(m_pView, &CKV_IIView::statusMessage, m_pMainWnd.get(), &CMainFrame::SetMessageText);
    connect(m_pView, &CKV_IIView::fitFrameRequested, m_pMainWnd.get(),
            &CMainFrame::ResizeParentToFit);
    connect(m_pDoc.get(), &CKV_IIDoc::fileUsed, this, &AddToRecentFiles);
    // The status bar says what the form holds, and what a save did.
    connect(m_pDoc.get(), &CKV_IIDoc::stateChanged, m_pMainWnd.get(),
            [frame = m_pMainWnd.get(), doc = m_pDoc.get()] {
                frame->SetDocumentText(doc->StatusText());
            });
    connect(m_pDoc.get(), &CKV_IIDoc::saved, m_pMainWnd.get(),
            [frame = m_pMainWnd.get(), doc = m_pDoc.get()] {
                frame->SetMessageText(QStringLiteral("Saved %1").arg(doc->GetTitle()));
            });
    m_pMainWnd->SetCloseGuard(
        [this] { return !RefuseWhileTransferring() && m_pDoc->SaveModified(); });
    connect(m_pMainWnd.get(), &CMainFrame::FilesDropped, this,
            [this](const QStringList& paths) { OpenDocumentFile(paths.constFirst()); });
    ConnectCommands();
}

void CKV_IIApp::ConnectCommands() {
    const auto on = [this](int id, void (CKV_IIApp::*handler)()) {
        if (QAction* action = m_pMainWnd->Action(id)) {
            connect(action, &QAction::triggered, this, handler);
        }
    };
    on(ID_FILE_NEW, &CKV_IIApp::OnFileNew);
    on(ID_FILE_OPEN, &CKV_IIApp::OnFileOpen);
    on(ID_FILE_SAVE, &CKV_IIApp::OnFileSave);
    on(ID_FILE_SAVE_AS, &CKV_IIApp::OnFileSaveAs);
    on(ID_FILE_PRINT, &CKV_IIApp::OnFilePrint);
    on(ID_FILE_PRINT_DIRECT, &CKV_IIApp::OnFilePrintDirect);
    on(ID_FILE_PRINT_PREVIEW, &CKV_IIApp::OnFilePrintPreview);
    on(ID_FILE_PRINT_SETUP, &CKV_IIApp::OnFilePrintSetup);
    on(ID_OPTIONAL_FEATURES, &CKV_IIApp::OnOptionalFeatures);
    on(ID_TEST_MODE, &CKV_IIApp::OnTestMode);
    CRadioController* radio = m_pRadio.get();
    connect(m_pMainWnd->Action(ID_READ_FROM_RADIO), &QAction::triggered, radio,
            [radio] { radio->OnReadFromRadio(); });
    connect(m_pMainWnd->Action(ID_WRITE_TO_RADIO), &QAction::triggered, radio,
            [radio] { radio->OnWriteToRadio(); });
    connect(m_pMainWnd->Action(ID_COMPARE_WITH_RADIO), &QAction::triggered, radio,
            [radio] { radio->OnCompareWithRadio(); });
    connect(m_pMainWnd->Action(ID_RESTORE_FROM_BACKUP), &QAction::triggered, radio,
            [this, radio] { radio->OnRestoreFromBackup(m_pMainWnd.get()); });
    connect(m_pMainWnd->Action(ID_PRODUCTION_MODE), &QAction::triggered, radio,
            [this, radio] { radio->OnProductionMode(m_pMainWnd.get()); });
    connect(m_pMainWnd->Action(ID_CHECK_CONNECTION), &QAction::triggered, radio,
            &CRadioController::OnCheckConnection);
    ConnectEditHistory(*m_pMainWnd, *m_pDoc, *m_pView);
    ConnectChannelRowCommands(*m_pMainWnd, *m_pDoc, *m_pView);
    ConnectChannelClipboardCommands(*m_pMainWnd, *m_pDoc, *m_pView, m_toneList);
    ConnectWriteOptions(*m_pMainWnd, *radio);
    ConnectPortMenu(*m_pMainWnd, *radio);
    ConnectRecentFilesMenu(*m_pMainWnd, [this](const QString& path) { OpenDocumentFile(path); });
    // The commands follow the table's rule during a run; closing the window and opening a
    // dropped or recent file are no commands and ask RefuseWhileTransferring.
    connect(radio, &CRadioController::transferRunningChanged, m_pMainWnd.get(),
            &CMainFrame::SetTransferRunning);
    connect(radio, &CRadioController::statusMessage, m_pMainWnd.get(), &CMainFrame::SetMessageText);
    connect(radio, &CRadioController::runEnded, m_pMainWnd.get(), &CMainFrame::SetLastResult);
}

bool CKV_IIApp::RefuseWhileTransferring() {
    if (m_pRadio && m_pRadio->IsTransferRunning()) {
        m_pMainWnd->SetMessageText(QString::fromUtf8(kMsgTransferRunning));
        return true;
    }
    return false;
}

void CKV_IIApp::OnTestMode() {
    m_pRadio->OnTestMode(m_pMainWnd.get());
}

void CKV_IIApp::OnOptionalFeatures() {
    const RadioImage before = m_pDoc->m_image;
    if (RunOptionalFeatures(m_pDoc->m_image, m_pMainWnd.get())) {
        m_pDoc->RecordChange(before, QStringLiteral("Optional Features"));
    }
}

// A new document takes the radio type the form shows, once the form is complete.
void CKV_IIApp::NewDocument() {
    const bool t520 = m_bEditorsCreated && m_pView->TypeSelection() == 1;
    m_pDoc->OnNewDocument(t520 ? RadioType::T520 : RadioType::T310X);
    m_pView->OnInitialUpdate();
}

bool CKV_IIApp::OpenFile(const QString& path) {
    if (!m_pDoc->OnOpenDocument(path)) {
        return false;
    }
    m_pView->OnInitialUpdate();
    return true;
}

void CKV_IIApp::OnFileNew() {
    if (m_pDoc->SaveModified()) {
        NewDocument();
    }
}

void CKV_IIApp::OnFileOpen() {
    const FileDialogRequest request = ChannelDataRequest(false);
    const QString path = AskFileName(m_pMainWnd.get(), request);
    if (!path.isEmpty()) {
        OpenDocumentFile(path);
    }
}

void CKV_IIApp::OnFileSave() {
    m_pDoc->DoFileSave();
}

void CKV_IIApp::OnFileSaveAs() {
    m_pDoc->DoSaveAs();
}

// The sheet shows the form as it is; an edit still open in a cell is committed first.
void CKV_IIApp::OnFilePrint() {
    m_pView->OnLeaveCellGrid();
    m_pPrint->OnFilePrint(m_pView->ReadEditor(), m_pMainWnd.get());
}

void CKV_IIApp::OnFilePrintDirect() {
    m_pView->OnLeaveCellGrid();
    m_pPrint->OnFilePrintDirect(m_pView->ReadEditor(), m_pMainWnd.get());
}

void CKV_IIApp::OnFilePrintPreview() {
    m_pView->OnLeaveCellGrid();
    m_pPrint->OnFilePrintPreview(m_pView->ReadEditor(), m_pMainWnd.get());
}

void CKV_IIApp::OnFilePrintSetup() {
    m_pPrint->OnFilePrintSetup(m_pMainWnd.get());
}

bool CKV_IIApp::OpenDocumentFile(const QString& path) {
    return !RefuseWhileTransferring() && m_pDoc->SaveModified() && OpenFile(path);
}
