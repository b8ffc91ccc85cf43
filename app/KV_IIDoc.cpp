#include "KV_IIDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "MessageBox.h"
#include "SinFile.h"

namespace {

// File names in the system's own encoding.
std::filesystem::path ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
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
    return request;
}

CKV_IIDoc::CKV_IIDoc(QObject* parent) : QObject(parent) {}

bool CKV_IIDoc::OnNewDocument(RadioType type) {
    m_image = NewDocumentImage(type);
    m_strPathName.clear();
    m_bModified = false;
    return true;
}

bool CKV_IIDoc::OnOpenDocument(const QString& path) {
    RadioImage loaded;
    const Result<> result = LoadSinFile(ToPath(path), loaded);
    if (!result) {
        ShowMessage(m_pWindow, QString::fromStdString(result.message));
        return false;
    }
    m_image = loaded;
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_bModified = false;
    emit fileUsed(m_strPathName);
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
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_bModified = false;
    emit fileUsed(m_strPathName);
    return true;
}

bool CKV_IIDoc::DoFileSave() {
    return m_strPathName.isEmpty() ? DoSaveAs() : OnSaveDocument(m_strPathName);
}

bool CKV_IIDoc::DoSaveAs() {
    FileDialogRequest request = ChannelDataRequest(true);
    request.suggested = m_strPathName.isEmpty()
                            ? QDir::current().filePath(QString::fromUtf8(kNewFileName))
                            : m_strPathName;
    const QString path = AskFileName(m_pWindow, request);
    return !path.isEmpty() && OnSaveDocument(path);
}

bool CKV_IIDoc::SaveModified() {
    if (!m_bModified) {
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
    return m_strPathName.isEmpty() ? QString::fromUtf8(kNewFileName)
                                   : QFileInfo(m_strPathName).fileName();
}
