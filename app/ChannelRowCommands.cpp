#include "ChannelRowCommands.h"

#include <QAction>
#include <QMenu>

#include "ChannelRows.h"
#include "CommandTable.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MessageBox.h"

namespace {

constexpr int kRowCommands[] = {ID_CLEAR_CHANNELS, ID_INSERT_CHANNEL, ID_DELETE_CHANNEL,
                                ID_MOVE_CHANNEL_UP, ID_MOVE_CHANNEL_DOWN};

// Runs command id on the chosen channels; returns the rows to show chosen afterwards, or an
// empty list when nothing was done.
QList<int> Apply(int id, RadioImage& image, const QList<int>& rows, QWidget* window) {
    QList<int> after;
    switch (id) {
        case ID_CLEAR_CHANNELS:
            for (int n : rows) {
                ClearChannel(image, n);
            }
            return rows;
        case ID_INSERT_CHANNEL: {
            const Result<> inserted = InsertEmptyChannel(image, rows.constFirst());
            if (!inserted) {
                ShowMessage(window, QString::fromStdString(inserted.message));
                return {};
            }
            return {rows.constFirst()};
        }
        case ID_DELETE_CHANNEL:
            // From the last, so that the earlier channels keep their numbers meanwhile.
            for (auto n = rows.crbegin(); n != rows.crend(); ++n) {
                DeleteChannel(image, *n);
            }
            return {rows.constFirst()};
        case ID_MOVE_CHANNEL_UP:
        case ID_MOVE_CHANNEL_DOWN: {
            const int delta = id == ID_MOVE_CHANNEL_UP ? -1 : 1;
            // A block at the edge stays where it is rather than losing its order.
            if (rows.constFirst() + delta < 1 || rows.constLast() + delta > addr::kChannelCount) {
                return {};
            }
            QList<int> order = rows;
            if (delta > 0) {
                std::reverse(order.begin(), order.end());
            }
            for (int n : order) {
                MoveChannel(image, n, delta);
                after << n + delta;
            }
            std::sort(after.begin(), after.end());
            return after;
        }
        default:
            return {};
    }
}

QString StepName(int id, const QList<int>& rows) {
    switch (id) {
        case ID_CLEAR_CHANNELS:
            return QStringLiteral("Clear of ") + ChannelWords(rows);
        case ID_INSERT_CHANNEL:
            return QStringLiteral("Insert Empty Channel at CH %1").arg(rows.constFirst());
        case ID_DELETE_CHANNEL:
            return QStringLiteral("Delete of ") + ChannelWords(rows);
        case ID_MOVE_CHANNEL_UP:
            return QStringLiteral("Move Up of ") + ChannelWords(rows);
        default:
            return QStringLiteral("Move Down of ") + ChannelWords(rows);
    }
}

}  // namespace

QList<int> ChosenChannels(const CMSFlexGrid& grid) {
    QList<int> rows = grid.SelectedRows();
    if (rows.isEmpty() && grid.GetRow() >= 1) {
        rows << static_cast<int>(grid.GetRow());
    }
    return rows;
}

QString ChannelWords(const QList<int>& rows) {
    return rows.size() == 1 ? QStringLiteral("CH %1").arg(rows.constFirst())
                            : QStringLiteral("%1 Channels").arg(rows.size());
}

void ConnectChannelRowCommands(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view) {
    for (int id : kRowCommands) {
        QObject::connect(frame.Action(id), &QAction::triggered, &view, [id, &frame, &doc, &view] {
            view.OnLeaveCellGrid();
            CMSFlexGrid& grid = view.Grid();
            const QList<int> rows = ChosenChannels(grid);
            if (rows.isEmpty()) {
                return;
            }
            const RadioImage before = doc.m_image;
            const QList<int> after = Apply(id, doc.m_image, rows, &frame);
            if (after.isEmpty()) {
                return;
            }
            view.DecodeImage();
            doc.RecordChange(before, StepName(id, rows));
            grid.SelectRows(after);
        });
    }
    QObject::connect(&view, &CKV_IIView::channelKey, &frame, [&frame](int key) {
        switch (key) {
            case Qt::Key_X:
                return frame.OnCommand(ID_EDIT_CUT);
            case Qt::Key_C:
                return frame.OnCommand(ID_EDIT_COPY);
            case Qt::Key_V:
                return frame.OnCommand(ID_EDIT_PASTE);
            case Qt::Key_Delete:
                return frame.OnCommand(ID_CLEAR_CHANNELS);
            case Qt::Key_Up:
                return frame.OnCommand(ID_MOVE_CHANNEL_UP);
            default:
                return frame.OnCommand(ID_MOVE_CHANNEL_DOWN);
        }
    });
    QObject::connect(&view.Grid(), &CMSFlexGrid::RowMenuRequested, &frame,
                     [&frame](const QPoint& where) {
                         QMenu menu(&frame);
                         for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
                             menu.addAction(frame.Action(id));
                         }
                         menu.addSeparator();
                         for (int id : kRowCommands) {
                             menu.addAction(frame.Action(id));
                         }
                         menu.exec(where);
                     });
}
