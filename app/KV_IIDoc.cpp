#include "KV_IIDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "Backups.h"
#include "FileIO.h"
#include "ImageChange.h"
#include "MessageBox.h"
#include "SinFile.h"

namespace {

std::filesystem::path ToPath(const QString& path) {
    return PathFromUtf8(path.toStdString());
}

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FileDialogRequest ChannelDataRequest(bool save) {
    FileDialogRequest request;
    request.save = save;
    request.caption = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    request.filter = FromView(kSinFilter);
    if (!save) {
        request.filter += QStringLiteral(";;All Files (*)");
    }
    request.suffix = FromView(kSinSuffix);
    // The radio's memory as read or written lately is one click away, to open it or to save
    // beside it. The folder is made here so that the shortcut leads somewhere from the start.
    if (EnsureBackupFolder()) {
        request.places << FileDialogPlace{QStringLiteral("Backups"), BackupFolder()};
    }
    return request;
}

CKV_IIDoc::CKV_IIDoc(QObject* parent) : QObject(parent) {
    connect(&m_history, &QUndoStack::cleanChanged, this, &CKV_IIDoc::stateChanged);
}

bool CKV_IIDoc::OnNewDocument(RadioType type) {
    m_image = NewDocumentImage(type);
    m_history.clear();
    SetPathName(QString());
    return true;
}

void CKV_IIDoc::RecordChange(const RadioImage& before, const QString& name) {
    if (CImageChange* change =
            CImageChange::Between(before, m_image, name, [this] { emit imageRestored(); })) {
        m_history.push(change);
    }
}

void CKV_IIDoc::SetPathName(const QString& path) {
    m_strPathName = path;
    m_strReadName.clear();
    m_strReadOrigin.clear();
    emit stateChanged();
}

void CKV_IIDoc::SetModifiedFlag(bool modified) {
    if (modified) {
        m_history.resetClean();
    } else {
        m_history.setClean();
    }
}

void CKV_IIDoc::OnReadFromRadio(const QString& port, const QString& portText,
                                const QDateTime& when) {
    const QString folder = m_strPathName.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : QFileInfo(m_strPathName).absolutePath();
    // A device path names the file after its device: radio-ttyUSB0-....sin.
    const QString portName = QFileInfo(port).fileName();
    m_strPathName.clear();
    m_strReadName = QDir(folder).filePath(
        QStringLiteral("radio-%1-%2.sin").arg(portName, when.toString("yyyyMMdd-HHmm")));
    m_strReadOrigin = QStringLiteral("Read from %1").arg(portText) + when.toString(" 'at' HH:mm");
    // No file holds the radio's memory: undoing back to what was saved leaves it unsaved.
    m_history.resetClean();
    emit stateChanged();
}

QString CKV_IIDoc::StatusText() const {
    if (!m_strReadOrigin.isEmpty()) {
        return m_strReadOrigin + QStringLiteral(", not saved");
    }
    if (m_strPathName.isEmpty()) {
        return QStringLiteral("New document");
    }
    return GetTitle() + (IsModified() ? QStringLiteral(" (modified)") : QString());
}

bool CKV_IIDoc::OnOpenDocument(const QString& path) {
    RadioImage loaded;
    const Result<> result = LoadSinFile(ToPath(path), loaded);
    if (!result) {
        ShowMessage(m_pWindow, QString::fromStdString(result.message));
        return false;
    }
    m_image = loaded;
    m_history.clear();
    SetPathName(QFileInfo(path).absoluteFilePath());
    emit fileUsed(m_strPathName);
    emit saved(m_strPathName);
    return true;
}

bool CKV_IIDoc::OnSaveDocument(const QString& path) {
    // The image takes the editor's contents even when the file then cannot be written.
    if (m_encodeHook) {
        m_encodeHook();
    }
    const Result<> result = SaveSinFile(ToPath(path), m_image);
    if (!result) {
        ShowMessage(m_pWindow, QString::fromStdString(result.message));
        return false;
    }
    m_history.setClean();
    SetPathName(QFileInfo(path).absoluteFilePath());
    emit fileUsed(m_strPathName);
    emit saved(m_strPathName);
    return true;
}

bool CKV_IIDoc::DoFileSave() {
    return m_strPathName.isEmpty() ? DoSaveAs() : OnSaveDocument(m_strPathName);
}

bool CKV_IIDoc::DoSaveAs() {
    FileDialogRequest request = ChannelDataRequest(true);
    request.suggested = !m_strPathName.isEmpty() ? m_strPathName
                        : !m_strReadName.isEmpty()
                            ? m_strReadName
                            : QDir::current().filePath(QString::fromUtf8(kNewFileName));
    const QString path = AskFileName(m_pWindow, request);
    return !path.isEmpty() && OnSaveDocument(path);
}

bool CKV_IIDoc::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    MessageRequest request;
    request.text = QStringLiteral("Save changes to %1?").arg(GetTitle());
    request.buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    request.icon = QMessageBox::Warning;
    switch (ShowMessage(m_pWindow, request)) {
        case QMessageBox::Save:
            return DoFileSave();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

QString CKV_IIDoc::GetTitle() const {
    if (!m_strPathName.isEmpty()) {
        return QFileInfo(m_strPathName).fileName();
    }
    return m_strReadName.isEmpty() ? QString::fromUtf8(kNewFileName)
                                   : QFileInfo(m_strReadName).fileName();
}
