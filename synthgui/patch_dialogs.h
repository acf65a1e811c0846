#pragma once
// Saving the running patch, the links writer, and the load dialog that
// replaces the running synthesizer by a patch file of "MVL". GUI thread.

#include <cstdio>
#include <string>
#include <vector>

// Writes the links section from the module panels of the object list (from
// the last panel to the first); a source is named only when a panel shows
// it. Returns 1.
int writeLinks(std::FILE* file);

// The save dialog: lists "MVL", asks for a file name on the console
// ("Save - Entrez le nom du fichier :") and writes "MVL/<name>" (objects,
// then links) crash-safely. Returns 1 when written, 0 when the file could
// not be written ("Non de fichier NULL!") or the save was cancelled (no
// more console input, or an empty name).
int savePatch();
// The same into the working directory, under the name as typed.
int savePatchHere();

// The ".mvl" and ".MVL" files of `dir`, each name once, in name order.
std::vector<std::string> listPatchFiles(const char* dir);

// The load dialog: its own frame loop over a scrollable list of the patch
// files of "MVL". Returns 1 after a chosen patch replaced the running
// synthesizer and its panels were rebuilt; 0 when the dialog was left
// without choosing (Escape, closing the window) or the chosen file was
// refused (the running patch then plays on, unchanged).
int loadPatchDialog();

// Called after a reload has replaced the synthesizer and rebuilt the module
// panels, and before the replaced panels and modules are freed: the front
// end puts its dashboards back into the object list and forgets every
// pointer into the old panels (hovered and held widgets, the held cord, the
// info dashboard's target). Null: none.
void setPatchReplacedHook(void (*hook)());
