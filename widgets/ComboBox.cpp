#include "widgets/ComboBox.h"

#include "model/TulvarMidiParameters.h"

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ComboBox::updateValue);
}

void ComboBox::updateParameter(unsigned int id)
{
    if (count() > 0) {
        showCurrentValue();
    }
    ModelConnection::updateParameter(id);
}

void ComboBox::modelChanged()
{
    int const minimum = getMinimumValue();
    int const maximum = getMaximumValue();
    if (maximum <= minimum) {
        return;
    }
    if (static_cast<long long>(maximum) - minimum == UnboundedIndexMaximum) {
        showCurrentValue();
        return;
    }
    m_filling = true;
    // Connecting again must not add the items a second time.
    clear();
    for (int k = 0; k <= maximum - minimum; ++k) {
        addItem(getParameterString(k));
    }
    m_filling = false;
    showCurrentValue();
}

void ComboBox::showCurrentValue()
{
    // The parameter already holds this value; an index outside the items must not be written
    // back as -1.
    bool const wasFilling = m_filling;
    m_filling = true;
    setCurrentIndex(getCurrentValue());
    m_filling = wasFilling;
}

void ComboBox::updateValue(qint32 index)
{
    // -1 means no item (a view clearing its list), which is no value of the parameter.
    if (!m_filling && index >= 0) {
        setCurrentValue(index);
    }
}
