#include "app/TarvikDoc.h"

#include "app/Globals.h"

CTarvikDoc* g_doc = nullptr;

CTarvikDoc::CTarvikDoc() { g_doc = this; }

CTarvikDoc::~CTarvikDoc() {
    if (g_doc == this) g_doc = nullptr;
}
