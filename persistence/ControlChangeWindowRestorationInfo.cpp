#include "persistence/ControlChangeWindowRestorationInfo.h"

ControlChangeWindowRestorationInfo::ControlChangeWindowRestorationInfo(unsigned char controllerNumber)
    : WindowRestorationInfo(ControlChangeId), m_restorationParameters{int(controllerNumber), 0}
{
}

QList<QVariant> ControlChangeWindowRestorationInfo::getRestorationParameters() const
{
    return m_restorationParameters;
}

void ControlChangeWindowRestorationInfo::setRestorationParameters(const QList<QVariant>& parameters)
{
    m_restorationParameters = parameters;
}

bool ControlChangeWindowRestorationInfo::controllerNumberFromParameters(const QList<QVariant>& parameters,
                                                                        unsigned char& controllerNumber)
{
    if (parameters.isEmpty()) {
        return false;
    }
    bool ok = false;
    const int number = parameters.first().toInt(&ok);
    if (!ok || number < 0 || number > 127) {
        return false;
    }
    controllerNumber = static_cast<unsigned char>(number);
    return true;
}
