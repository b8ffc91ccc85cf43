// The application's style as Qt chooses it, drawing every control the same, with one
// difference in cost: the arrow of the button that a menu bar or a toolbar shows when its
// items do not fit is made when the button is first drawn, not with the bar. Qt reads those
// icons from image files, and its first image file read loads every image format plugin
// (4 M instructions, about 5 % of start-up) for buttons that most windows never show.
#pragma once

#include <QProxyStyle>

class CLazyIconStyle : public QProxyStyle {
public:
    // Wraps base, which the new style takes over.
    explicit CLazyIconStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Makes the application's style a CLazyIconStyle around the style Qt chose for it, unless an
// application style sheet is in force (it wraps the style itself).
void UseLazyIconStyle();
