#pragma once

// The real main window over the Loopback service, for the monitor tools: the first input and
// output ports on "Loopback A", so that what the program sends comes back in. The service is
// decorated so that a tool can inject packets as if a device had sent them.

#include "app/MainWindow.h"
#include "model/TulvarMidiModel.h"
#include "testkit/FaultInjectingMidiService.h"
#include "views/MidiEditView.h"

#include <QMdiSubWindow>

struct ToolWindow {
    TulvarMidiModel model;
    FaultInjectingMidiService service;
    MainWindow window{nullptr, &model, service};

    ToolWindow()
    {
        MainWindowIF::setInstance(&window);
        QStringList names;
        unsigned int current = 0;
        window.getInputPortList(InputPortGroupFirst, names, current);
        window.inputPortMenuSelected(InputPortGroupFirst, unsigned(names.indexOf(QStringLiteral("Loopback A")) - 1));
        window.getOutputPortList(OutputPortGroupFirst, names, current);
        window.outputPortMenuSelected(OutputPortGroupFirst, unsigned(names.indexOf(QStringLiteral("Loopback A")) - 1));
    }

    MidiEndpointRef source(const QString& displayName)
    {
        for (unsigned int i = 0; i < service.getNumberOfSources(); ++i) {
            QString name;
            const MidiEndpointRef ref = service.getSource(i);
            if (service.getStringProperty(ref, MidiStringProperty::DisplayName, &name) == 0 && name == displayName) {
                return ref;
            }
        }
        return InvalidPortRef;
    }

    MidiEditView* view(MidiEditView::OpenMode mode)
    {
        for (QMdiSubWindow* subWindow : window.getSubWindowList()) {
            auto* view = qobject_cast<MidiEditView*>(subWindow->widget());
            if (view != nullptr && view->openMode() == mode) {
                return view;
            }
        }
        return nullptr;
    }
};
