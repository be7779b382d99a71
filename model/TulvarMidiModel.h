#pragma once

#include "model/Model.h"
#include "model/TulvarMidiParameters.h"

#include <QList>
#include <QPointer>
#include <QString>

class DialIF;
class QObject;

// The values of parameter 3, the project's edit flag.
enum ParameterEditFlag : int {
    ParameterEditFlagUnchanged = 0,
    ParameterEditFlagChanged = 1,
};

// The application's one model: every parameter of the application, the project's edit flag
// with a lock for bulk operations, the dials that follow the knob mode, the project path.
class TulvarMidiModel : public Model, public TulvarMidiParameters {
public:
    TulvarMidiModel();
    ~TulvarMidiModel() override = default;

    void updateParameter(unsigned int id) override;
    MODEL_RESULT registerModelConnection(ModelConnectionIF* connection) override;
    MODEL_RESULT unregisterModelConnection(ModelConnectionIF* connection) override;

    // While locked (calls nest), setParameterEditFlag does nothing, so that restoring settings,
    // opening a project or closing all windows does not mark the project as changed.
    void lockParameterEditFlag();
    void unlockParameterEditFlag();
    void setParameterEditFlag(int flag);
    ParameterEditFlag getParameterEditFlag();

    // A registered dial takes up the knob mode at once and on every change of parameter 1200,
    // before the controls bound to it. Dials destroyed without unregistering are skipped.
    void registerDial(DialIF* dial);
    void unregisterDial(DialIF* dial);

    QString getProjectFilePath() const;
    void setProjectFilePath(QString const& path);

private:
    struct RegisteredDial {
        DialIF* dial;
        QPointer<QObject> object;
    };

    QList<RegisteredDial> m_dials;
    QString m_projectFilePath;
    int m_editFlagLock = 0;
};
