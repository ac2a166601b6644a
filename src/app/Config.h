#pragma once
// The built-in configuration tree and the run subtree's round trip through the settings file.

class TMVJson;

// Rebuilds app, data, msg, upd and url from the built-in values, in that order.
void BuildDefaultTree(TMVJson &json);
// Reads the settings file named by app.run into run and fills the window-size defaults.
void LoadRunSubtree(TMVJson &json);
// Writes run to the settings file named by app.run; false when the file could not be written.
bool SaveRunSubtree(const TMVJson &json);
