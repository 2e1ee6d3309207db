#pragma once

#include <QIcon>

// The application's own icon in every size it ships, for the window and its dialogs.
QIcon applicationIcon();
