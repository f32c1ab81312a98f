// The Edit menu's object commands in the main window: Add Aerofoil with its
// angle panel, Copy, Move, Rotate, the flips and sizes, Clear and Clear All,
// the mouse hooks of the armed edits, and the re-stamping after Open.
#pragma once

class Form1;

void ConnectEditCommands(Form1& f);
