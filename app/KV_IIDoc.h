// The program's single document: the radio's memory image, its file, and whether it holds
// changes that are not saved yet. New and Open reuse this one object for the whole run.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "FileDialog.h"
#include "NewDocument.h"
#include "RadioImage.h"

class QWidget;

// The file dialog for channel data files: Open (save false) or Save As, with the backups
// folder in its sidebar as "Backups".
FileDialogRequest ChannelDataRequest(bool save);

class CKV_IIDoc : public QObject {
    Q_OBJECT

public:
    // The name a document has before it is first saved, and the name Save As offers.
    static constexpr const char* kNewFileName = "Write Data";

    explicit CKV_IIDoc(QObject* parent = nullptr);

    RadioImage m_image;

    // Fills the image with the defaults of a radio type; the document has no file yet.
    bool OnNewDocument(RadioType type);

    // Loads a channel data file. A file that cannot be loaded is reported and changes
    // nothing: not the image, not the file name, not the modified flag.
    bool OnOpenDocument(const QString& path);

    // Encodes the editor into the image, then writes the file; reports a failure.
    bool OnSaveDocument(const QString& path);

    // Save: to the document's file, or through Save As when it has none.
    bool DoFileSave();
    // Save As: asks for a name (offering the current one), then saves there.
    bool DoSaveAs();

    // Before the document is replaced or the program ends: when there are unsaved changes,
    // asks "Save changes to NAME?". False means the user cancelled (or the save failed).
    bool SaveModified();

    // After a complete read from the radio on port ("COM1" or a device path; shown as
    // portText, "COM1 (/dev/ttyUSB0)"): the document holds the radio's memory and no file, so
    // that Save cannot put it over the file that was open. Its name, and what Save As offers,
    // is radio-PORT-YYYYMMDD-HHMM.sin in the folder of that file (the documents folder when
    // none was open). It counts as modified.
    void OnReadFromRadio(const QString& port, const QString& portText, const QDateTime& when);

    // Modified means the history is away from the state last saved or opened: undoing back
    // to it clears the flag. Setting the flag makes that state unreachable until a save.
    bool IsModified() const { return !m_history.isClean(); }
    void SetModifiedFlag(bool modified = true);

    // Every change to the image is one step of the history, named as the Edit menu shows it
    // ("Rx Tone of CH 3"). A change is recorded after it was made, from a copy of the image
    // taken before it; a change that left every byte as it was is no step. New and Open
    // clear the history.
    void RecordChange(const RadioImage& before, const QString& name);
    QUndoStack& History() { return m_history; }

    QString GetPathName() const { return m_strPathName; }
    // The file's name; for a document never saved, the name a read gave it or kNewFileName.
    QString GetTitle() const;

    // What the status bar's document pane shows: "fleet.sin", "fleet.sin (modified)",
    // "New document", "Read from COM1 (/dev/ttyUSB0) at 07:13, not saved".
    QString StatusText() const;

    // Run before every save so that the image holds what the form shows.
    void SetEncodeHook(std::function<void()> hook) { m_encodeHook = std::move(hook); }
    // Parent of the document's message boxes and dialogs.
    void SetWindow(QWidget* window) { m_pWindow = window; }

signals:
    // A file was opened or saved under path.
    void fileUsed(const QString& path);
    // The document was saved under path.
    void saved(const QString& path);
    // The file, the name or the modified flag changed: StatusText has news.
    void stateChanged();
    // Undo or redo put bytes back into the image: the form must show them.
    void imageRestored();

private:
    // The document has a file now (or none): what a read told of it is gone.
    void SetPathName(const QString& path);

    QString m_strPathName;
    QString m_strReadName;    // after a read: radio-PORT-YYYYMMDD-HHMM.sin with its folder
    QString m_strReadOrigin;  // after a read: "Read from COM1 (/dev/ttyUSB0) at 07:13"
    QUndoStack m_history;
    std::function<void()> m_encodeHook;
    QWidget* m_pWindow = nullptr;
};
