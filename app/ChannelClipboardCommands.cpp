#include "ChannelClipboardCommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "ChannelClipboard.h"
#include "ChannelRowCommands.h"
#include "ChannelRows.h"
#include "CommandTable.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MessageBox.h"

namespace {

std::vector<int> Channels(const QList<int>& rows) {
    return {rows.begin(), rows.end()};
}

void Copy(const RadioImage& image, const QList<int>& rows) {
    auto* data = new QMimeData;
    const std::string records = ChannelRecords(image, Channels(rows));
    data->setData(QString::fromLatin1(kChannelRecordsMime),
                  QByteArray(records.data(), static_cast<qsizetype>(records.size())));
    data->setText(QString::fromStdString(ChannelsAsText(image, Channels(rows))));
    QGuiApplication::clipboard()->setMimeData(data);
}

// Puts the clipboard's channels on first and on: the records when the program put them there,
// else the text. pasted: how many channels changed.
Result<> Paste(RadioImage& image, int first, const ToneList& tones, int& pasted) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString mime = QString::fromLatin1(kChannelRecordsMime);
    if (data && data->hasFormat(mime)) {
        const QByteArray records = data->data(mime);
        return PasteChannelRecords(image, first, std::string_view(records.data(), records.size()),
                                   pasted);
    }
    if (!data || !data->hasText()) {
        return Failure("The clipboard holds no channels.");
    }
    const QByteArray text = data->text().toUtf8();
    return PasteChannelText(image, first, std::string_view(text.data(), text.size()), tones,
                            pasted);
}

}  // namespace

void ConnectChannelClipboardCommands(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view,
                                     const ToneList& tones) {
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
        QObject::connect(
            frame.Action(id), &QAction::triggered, &view, [id, &frame, &doc, &view, &tones] {
                view.OnLeaveCellGrid();
                CMSFlexGrid& grid = view.Grid();
                const QList<int> rows = ChosenChannels(grid);
                if (rows.isEmpty()) {
                    return;
                }
                if (id == ID_EDIT_COPY) {
                    Copy(doc.m_image, rows);
                    return;
                }
                const RadioImage before = doc.m_image;
                QList<int> after = rows;
                QString step = QStringLiteral("Cut of ") + ChannelWords(rows);
                if (id == ID_EDIT_CUT) {
                    Copy(doc.m_image, rows);
                    for (int n : rows) {
                        ClearChannel(doc.m_image, n);
                    }
                } else {
                    int pasted = 0;
                    const Result<> done = Paste(doc.m_image, rows.constFirst(), tones, pasted);
                    if (!done) {
                        ShowMessage(&frame, QStringLiteral("Nothing was pasted: %1.")
                                                .arg(QString::fromStdString(done.message)));
                        return;
                    }
                    after.clear();
                    for (int n = rows.constFirst(); n < rows.constFirst() + pasted; ++n) {
                        after << n;
                    }
                    step = pasted == 1 ? QStringLiteral("Paste of 1 Channel")
                                       : QStringLiteral("Paste of %1 Channels").arg(pasted);
                }
                view.DecodeImage();
                doc.RecordChange(before, step);
                grid.SelectRows(after);
            });
    }
}
