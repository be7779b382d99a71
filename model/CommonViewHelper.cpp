#include "model/CommonViewHelper.h"

#include "model/ModelConnectionIF.h"

#include <QList>
#include <QObject>
#include <QPointer>

CommonViewHelper::CommonViewHelper(ModelIF* model)
    : m_model(model)
{
}

CommonViewHelper::~CommonViewHelper() = default;

void CommonViewHelper::connectModel(QObject* root)
{
    if (root == nullptr) {
        return;
    }
    if (auto* connection = dynamic_cast<ModelConnectionIF*>(root)) {
        connection->connectModel(m_model);
    }
    // Guarded copy: a control may add or delete children when it takes up its value.
    QList<QPointer<QObject>> children;
    for (QObject* child : root->children()) {
        children.append(child);
    }
    for (QPointer<QObject> const& child : children) {
        connectModel(child.data());
    }
}
