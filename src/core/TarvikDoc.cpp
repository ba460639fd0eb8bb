#include "core/TarvikDoc.h"

CTarvikDoc* g_doc = nullptr;
QString DataFolder;

CTarvikDoc::CTarvikDoc() { g_doc = this; }

CTarvikDoc::~CTarvikDoc() {
    if (g_doc == this) g_doc = nullptr;
}
