// The print and clipboard commands of the main window: File > Print with its
// speed button, Clipboard > Copy to Clipboard, and the printer and clipboard
// the window uses (the desktop's, until a test puts its own in their place).
#pragma once

#include <memory>

#include "platform/Clipboard.h"
#include "platform/Printer.h"

class Form1;

void ConnectPrintCommands(Form1& f);

// The window's printer, for every page it prints (the view, the line plot).
Printer& WindowPrinter(Form1& f);
Clipboard& WindowClipboard(Form1& f);
void SetWindowPrinter(Form1& f, std::unique_ptr<Printer> printer);
void SetWindowClipboard(Form1& f, std::unique_ptr<Clipboard> clipboard);

// File > Print and Copy to Clipboard as the commands run them.
void PrintViewCommand(Form1& f);
void CopyViewToClipboardCommand(Form1& f);
