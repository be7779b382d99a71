#pragma once

#include <QTextEdit>

// A read-only viewer of a licence text delivered with the program. A file that cannot be read
// shows an empty text.
class LicenseTextView : public QTextEdit {
    Q_OBJECT

public:
    // Shows the file at `path`, with every "QT_VERSION" replaced by the running Qt version when
    // `showsQtVersion` is set.
    LicenseTextView(QWidget* parent, const QString& path, bool showsQtVersion);

    // The window opens at this size, whatever the text.
    QSize sizeHint() const override;
};

// The licences of the libraries the program uses.
class LicenseInfoView : public LicenseTextView {
    Q_OBJECT

public:
    explicit LicenseInfoView(QWidget* parent);
};

// The program's own licence.
class EULAView : public LicenseTextView {
    Q_OBJECT

public:
    explicit EULAView(QWidget* parent);
};
