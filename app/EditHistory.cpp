#include "EditHistory.h"

#include <QAction>
#include <QMenu>

#include "CommandTable.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MainFrm.h"

namespace {

// "&Undo\tCtrl+Z" with the step's name after the verb: "&Undo Rx Tone of CH 3\tCtrl+Z".
QString ItemText(int id, const QString& step) {
    return MenuItemText(id, step.isEmpty() ? QString() : QLatin1Char(' ') + step);
}

}  // namespace

void ConnectEditHistory(CMainFrame& frame, CKV_IIDoc& doc, CKV_IIView& view) {
    QUndoStack& history = doc.History();
    QAction* undo = frame.Action(ID_EDIT_UNDO);
    QAction* redo = frame.Action(ID_EDIT_REDO);

    // The image follows the form commit by commit, so that each step holds its own bytes.
    QObject::connect(&view, &CKV_IIView::committed, &doc, [&doc, &view](const QString& step) {
        const RadioImage before = doc.m_image;
        view.EncodeImage();
        doc.RecordChange(before, step);
    });
    // The editor of the current cell is seeded again, so that typing does not start from a
    // text the cell no longer holds.
    QObject::connect(&doc, &CKV_IIDoc::imageRestored, &view, [&view] {
        view.DecodeImage();
        view.OnEnterCellGrid();
    });

    // An open edit is committed (a step of its own when it changes the cell) and its editor
    // closed before the history moves.
    const auto step = [&history, &view](bool forward) {
        view.OnLeaveCellGrid();
        forward ? history.redo() : history.undo();
    };
    QObject::connect(undo, &QAction::triggered, &history, [step] { step(false); });
    QObject::connect(redo, &QAction::triggered, &history, [step] { step(true); });
    QObject::connect(&view, &CKV_IIView::historyKey, &frame, [&frame](bool forward) {
        frame.OnCommand(forward ? ID_EDIT_REDO : ID_EDIT_UNDO);
    });

    const auto update = [undo, redo, &history] {
        undo->setText(ItemText(ID_EDIT_UNDO, history.undoText()));
        redo->setText(ItemText(ID_EDIT_REDO, history.redoText()));
    };
    QObject::connect(&history, &QUndoStack::indexChanged, undo, update);
    QObject::connect(&history, &QUndoStack::cleanChanged, undo, update);
    update();
    // The keys stay live even with nothing to undo, since they also commit an open edit; the
    // items are greyed only while the menu shows them.
    if (QMenu* menu = frame.MenuOf(ID_EDIT_UNDO)) {
        QObject::connect(menu, &QMenu::aboutToShow, undo, [undo, redo, &history] {
            undo->setEnabled(history.canUndo());
            redo->setEnabled(history.canRedo());
        });
        QObject::connect(menu, &QMenu::aboutToHide, undo, [undo, redo] {
            undo->setEnabled(true);
            redo->setEnabled(true);
        });
    }
}
