#include "core/OperationGate.h"

namespace {

OperationGate* g_gate = nullptr;

}  // namespace

void InstallOperationGate(OperationGate* gate) { g_gate = gate; }

OperationGate* InstalledOperationGate() { return g_gate; }

bool OperationRunning() { return g_gate && g_gate->OperationRunning(); }
