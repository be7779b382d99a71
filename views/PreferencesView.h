#pragma once

#include "model/CommonViewHelper.h"

#include <QFrame>

class TulvarMidiModel;

// The application-wide preferences. Every control is bound to its parameter and labelled with the
// parameter's name, so a change reaches the whole program through the model at once.
class PreferencesView : public QFrame, public CommonViewHelper {
    Q_OBJECT

public:
    PreferencesView(QWidget* parent, TulvarMidiModel* model);
};
