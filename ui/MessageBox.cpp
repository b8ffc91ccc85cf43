#include "MessageBox.h"

#include <QPushButton>

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
    QMessageBox box(request.icon, request.caption, QString(), request.buttons,
                    parent ? parent : QApplication::activeWindow());
    // Boxes quote file names and other outside text, which must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    if (!request.detail.isEmpty()) {
        box.setDetailedText(request.detail);
    }
    if (request.defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(request.defaultButton);
    }
    QPushButton* help = nullptr;
    if (!request.helpButton.isEmpty()) {
        help = box.addButton(request.helpButton, QMessageBox::HelpRole);
    }
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    return help != nullptr && box.clickedButton() == help ? QMessageBox::Help : pressed;
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}
