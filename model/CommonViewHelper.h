#pragma once

class ModelIF;
class QObject;

// Binds every bound control of a widget tree to one model in a single call.
class CommonViewHelper {
public:
    explicit CommonViewHelper(ModelIF* model);
    ~CommonViewHelper();

    // Depth first, pre-order, children in QObject::children() order.
    void connectModel(QObject* root);

private:
    ModelIF* m_model;
};
