#pragma once

#include "model/ModelConnection.h"

#include <QCheckBox>

// A check box bound to one switch parameter (checked = 1).
class CheckBox : public QCheckBox, public ModelConnection {
    Q_OBJECT

public:
    explicit CheckBox(QWidget* parent = nullptr);
    explicit CheckBox(QString const& text, QWidget* parent = nullptr);

    void updateParameter(unsigned int id) override;

public slots:
    void updateCheckbox(bool checked);
};
