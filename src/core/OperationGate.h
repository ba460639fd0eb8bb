#pragma once

// Held while a command may run a nested event loop (a message box, a dialog, a wait): device
// notices then wait, so that none changes a tree or a connection under the command, and the
// progress display follows the work. The window installs the gate; without one it does nothing.
class OperationGate {
public:
    virtual ~OperationGate() = default;
    virtual void BeginOperation() = 0;
    virtual void EndOperation() = 0;
    virtual bool OperationRunning() const = 0;
};

// Installs `gate` (not owned); nullptr removes it.
void InstallOperationGate(OperationGate* gate);
OperationGate* InstalledOperationGate();
// True while the installed gate is held: no new work may start under it.
bool OperationRunning();

// Holds the installed gate, or the given one, for its scope.
class OperationScope {
public:
    OperationScope() : OperationScope(InstalledOperationGate()) {}
    explicit OperationScope(OperationGate& gate) : OperationScope(&gate) {}
    ~OperationScope() {
        if (gate_) gate_->EndOperation();
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    explicit OperationScope(OperationGate* gate) : gate_(gate) {
        if (gate_) gate_->BeginOperation();
    }
    OperationGate* gate_;
};
