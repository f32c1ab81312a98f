#include "shell/MainWindow.h"
Form1::Form1() {}
