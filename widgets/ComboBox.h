#pragma once

#include "model/ModelConnection.h"

#include <QComboBox>

// A combo box bound to one parameter: the item index is the value. On connection it fills
// itself with the parameter's texts, unless the parameter is an unbounded index (port lists),
// whose items the view provides.
class ComboBox : public QComboBox, public ModelConnection {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent = nullptr);

    void updateParameter(unsigned int id) override;
    void modelChanged() override;

public slots:
    void updateValue(qint32 index);

private:
    void showCurrentValue();

    // Set while the box itself changes items or index, so that it does not write back.
    bool m_filling = false;
};
