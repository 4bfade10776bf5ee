#pragma once
// The application's icon, drawn in code: a dark rounded plate with a lens and the device's
// Wi-Fi arcs. Windows and alerts show it; the build writes it out for the desktop entry.
#include <QIcon>
#include <QImage>

QImage appIconImage(int pixels);
// Every size a desktop asks for, drawn for it.
QIcon appIcon();
