// The simple controls the windows are written with: each is the Qt widget itself, with
// the window's handler connected through the default error handler.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QFont>

#include <functional>

// A narrow sans-serif face of the given size: the pixel widths of the grids' columns and of
// the main window's buttons hold texts of a narrow face (a number of nine characters in 50
// pixels), and the common wide faces would cut them. Falls back to the default face when
// none of the narrow ones is installed.
QFont narrowFont(int pointSize);

// A fixed-pitch face of the given size, for lines whose prefixes line them up column by column.
QFont fixedPitchFont(int pointSize);

class Label : public QLabel
{
public:
    Label(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}
};

class Button : public QPushButton
{
public:
    Button(const QString& caption, QWidget* parent, std::function<void()> onClick);
};

class RadioButton : public QRadioButton
{
public:
    RadioButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent) {}
};

// A multi-line text box, filled line by line.
class Memo : public QPlainTextEdit
{
public:
    explicit Memo(QWidget* parent) : QPlainTextEdit(parent) {}
    void setLines(const QStringList& lines);
    QStringList lines() const;
    // Keeps each line of the text on one line of the box, as a help text is written: turns
    // wrapping off and takes the largest size of the narrow face, from largestPointSize down
    // to 7 points, that holds the longest line in the box's present width (with room for the
    // vertical scroll bar). When none does, the 7-point face stays and the horizontal scroll
    // bar reaches the rest.
    void keepLinesWhole(int largestPointSize);
};

class Edit : public QLineEdit
{
public:
    explicit Edit(QWidget* parent) : QLineEdit(parent) {}
};

// An edit field of one optional letter (any alphabet), the blank shown as an underscore.
class MaskEdit : public QLineEdit
{
public:
    explicit MaskEdit(QWidget* parent);
};

// A picture decoded from a JPEG resource.
class Image : public QLabel
{
public:
    explicit Image(QWidget* parent) : QLabel(parent) {}
    // Throws when the picture cannot be decoded.
    void loadJpeg(const QString& path);
};
