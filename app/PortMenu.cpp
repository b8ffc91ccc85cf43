#include "PortMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "CommandTable.h"
#include "MainFrm.h"
#include "PortNames.h"
#include "RadioController.h"
#include "SerialPorts.h"

namespace {

constexpr int kPortCommands[] = {ID_COM1, ID_COM2, ID_COM3, ID_COM4};
constexpr char kDetectedProperty[] = "detectedPort";

void AddSeparator(QMenu& menu) {
    menu.addSeparator()->setProperty(kDetectedProperty, true);
}

// An item below the fixed ones that chooses port, named text.
void AddPortItem(QMenu& menu, CRadioController& radio, const QString& port,
                 const std::string& text) {
    QAction* action =
        menu.addAction(QString::fromStdString(text).replace('&', QStringLiteral("&&")));
    action->setProperty(kDetectedProperty, port);
    action->setCheckable(true);
    action->setChecked(radio.Port() == port);
    action->setStatusTip(QStringLiteral("Use %1 for the next exchange with the radio").arg(port));
    QObject::connect(action, &QAction::triggered, &radio, [&radio, port] { radio.SetPort(port); });
}

// Rebuilds the detected ports below the four fixed items, then the demo port at the end, and
// sets every check mark.
void Refresh(QMenu& menu, CRadioController& radio) {
    for (QAction* action : menu.actions()) {
        if (action->property(kDetectedProperty).isValid()) {
            menu.removeAction(action);
            action->deleteLater();
        }
    }
    const auto ports = ScanSerialPorts();
    if (!ports.empty()) {
        AddSeparator(menu);
    }
    for (const SerialPortFacts& port : ports) {
        AddPortItem(menu, radio, QString::fromStdString(port.device), SerialPortText(port));
    }
    AddSeparator(menu);
    const std::string demo(kDemoPortName);
    AddPortItem(menu, radio, QString::fromStdString(demo), PortWithDevice(demo));
}

// The item of a fixed port as the menu table has it, with the device it stands for after the
// name, before a tab should the item show a key: "COM1(&P) (/dev/ttyUSB0)"; a port that is
// its own device (COM1 on Windows) shows none. The device may change between two openings of
// the menu (environment, settings file), so it is looked up each time.
QString FixedPortText(int id, std::string_view name) {
    // The item's words stay the menu table's: only " (DEVICE)" goes after them.
    const std::string device = DeviceForPort(name);
    return MenuItemText(
        id, device == name ? QString() : QString::fromStdString(LabelledPort({}, device)));
}

}  // namespace

void ConnectPortMenu(CMainFrame& frame, CRadioController& radio) {
    for (std::size_t i = 0; i < std::size(kPortCommands); ++i) {
        QAction* action = frame.Action(kPortCommands[i]);
        if (!action) {
            continue;
        }
        const QString name =
            QString::fromUtf8(kPortNames[i].data(), static_cast<qsizetype>(kPortNames[i].size()));
        action->setCheckable(true);
        action->setChecked(radio.Port() == name);
        QObject::connect(action, &QAction::triggered, &radio,
                         [&radio, name] { radio.SetPort(name); });
    }
    QMenu* menu = frame.MenuOf(ID_COM1);
    if (!menu) {
        return;
    }
    QObject::connect(menu, &QMenu::aboutToShow, &radio, [&frame, menu, &radio] {
        // The check mark follows the chosen port, compared whole and case-sensitively.
        for (std::size_t i = 0; i < std::size(kPortCommands); ++i) {
            if (QAction* action = frame.Action(kPortCommands[i])) {
                action->setChecked(radio.Port().toStdString() == kPortNames[i]);
                action->setText(FixedPortText(kPortCommands[i], kPortNames[i]));
            }
        }
        Refresh(*menu, radio);
    });
}
