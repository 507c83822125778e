#pragma once

class QDialog;
class QWidget;

// Without a window manager nothing hands the keyboard back to a window when a dialog in front
// of it closes, and the window's keys (F5, Ctrl+O) do nothing until it is clicked. These make
// it the active window again.
void takeKeysBack(QWidget* window);
// Takes the keys back for `window` each time `dialog` closes.
void takeKeysBackAfter(QDialog* dialog, QWidget* window);
