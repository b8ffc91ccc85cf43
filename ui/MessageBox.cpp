#include "MessageBox.h"

#include <QApplication>

namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QMessageBox box(request.icon, request.caption, request.text, request.buttons,
                    parent ? parent : QApplication::activeWindow());
    if (!request.detail.isEmpty()) {
        box.setDetailedText(request.detail);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}
