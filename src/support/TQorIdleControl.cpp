#include "TQorIdleControl.h"

#include "TEntertainer.h"

TQorIdleControl::TQorIdleControl(QObject* parent)
    : QObject(parent)
{
}

TQorIdleControl::~TQorIdleControl() = default;

int TQorIdleControl::SlowMotion() { return TEntertainer::SlowMotion(); }

void TQorIdleControl::SetSlowMotion(int milliseconds) { TEntertainer::SetSlowMotion(milliseconds); }
