#include "core/TreeRules.h"

#include "core/ItemKind.h"

namespace {

constexpr char kProgramFolder[] = "D:\\PROGRAM";

void ApplyTerminalPathRules(int kind, const QString& path, EditCommands& commands) {
    if (kind == kKindFolder) {
        const QString upper = path.toUpper();
        if (!TerminalFolderTakesSubfolder(upper)) commands.newFolder = false;
        if (IsProtectedTerminalFolder(upper)) commands.del = false;
        if (upper.startsWith(QLatin1String(kProgramFolder))) {
            commands.copy = false;
            if (upper == QLatin1String(kProgramFolder)) commands.del = false;
        }
    } else if (kind == kKindFile && path.contains(QLatin1String(kProgramFolder))) {
        commands.copy = commands.cut = commands.rename = false;
    }
}

EditCommands FileModeRightClick(TreeTraits tree, int kind, const QString& path) {
    EditCommands commands;
    const bool terminalTree = !tree.pcTree;
    switch (kind) {
        case kKindRemovable:
        case kKindNetwork:
            commands.newFolder = true;
            commands.property = terminalTree;
            break;
        case kKindFixed:
            commands.newFolder = true;
            commands.format = commands.property = terminalTree;
            break;
        case kKindCdRom: commands.property = terminalTree; break;
        case kKindFolder:
            commands.copy = commands.del = commands.newFolder = true;
            commands.rename = tree.pcTree;
            commands.property = terminalTree;
            break;
        case kKindFile:
            commands.copy = commands.cut = commands.del = commands.rename = true;
            commands.property = terminalTree;
            break;
        default: break;  // roots, placeholders and no item
    }
    if (terminalTree) ApplyTerminalPathRules(kind, path, commands);
    return commands;
}

EditCommands ProjectModeRightClick(TreeTraits tree, int kind) {
    EditCommands commands;
    commands.cutApplies = false;
    if (kind == kKindProjectOrTerminal) {
        commands.property = true;
    } else if (kind == kKindTerminalProject) {
        commands.copy = tree.pcTree;
        commands.del = commands.property = true;
    }
    return commands;
}

}  // namespace

EditCommands RightClickCommands(TreeTraits tree, int kind, const QString& path) {
    return tree.fileMode ? FileModeRightClick(tree, kind, path) : ProjectModeRightClick(tree, kind);
}

EditCommands LeftClickCommands(int kind) {
    EditCommands commands;
    if (kind == kKindFolder || kind == kKindFile) {
        commands.copy = commands.del = true;
        commands.cut = kind == kKindFile;
    }
    return commands;
}

bool StaysOnTerminal(int kind, const QString& text) {
    if (kind == kKindFolder) return text.contains(QLatin1String("Program"));
    if (kind == kKindFile) return text.contains(QLatin1String(".bas"));
    return false;
}

bool AcceptsDrop(bool fileModeTarget, int kind) {
    if (!fileModeTarget) return kind == kKindProjectOrTerminal;
    return kind == kKindRemovable || kind == kKindFixed || kind == kKindFolder ||
           kind == kKindNetwork;
}

bool TerminalFolderTakesSubfolder(const QString& upperPath) { return upperPath.count('\\') <= 1; }

bool IsProtectedTerminalFolder(const QString& upperPath) {
    return upperPath == QLatin1String("C:\\DATA") || upperPath == QLatin1String("D:\\LOOKUP") ||
           upperPath == QLatin1String("D:\\FONTS");
}

void EditCommands::Take(const EditCommands& offered, bool withMenuCommands) {
    copy = offered.copy;
    if (offered.cutApplies) cut = offered.cut;
    del = offered.del;
    if (!withMenuCommands) return;
    newFolder = offered.newFolder;
    rename = offered.rename;
    format = offered.format;
    property = offered.property;
}
