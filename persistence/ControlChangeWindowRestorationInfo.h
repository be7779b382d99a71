#pragma once

#include "persistence/WindowRestorationInfo.h"

// The restoration variant of the control change view: its extra values are
// [controller number, 0], so that a restored window comes back on the same controller.
class ControlChangeWindowRestorationInfo : public WindowRestorationInfo {
public:
    explicit ControlChangeWindowRestorationInfo(unsigned char controllerNumber = 0);

    QList<QVariant> getRestorationParameters() const override;
    void setRestorationParameters(const QList<QVariant>& parameters);

    // The controller number held in the first extra value of a stored entry; false when the
    // entry holds none or one outside 0 to 127 (a damaged settings or project file).
    static bool controllerNumberFromParameters(const QList<QVariant>& parameters, unsigned char& controllerNumber);

private:
    QList<QVariant> m_restorationParameters;
};
