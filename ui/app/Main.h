#pragma once

// The program's start: settings read and written back, main window shown.
void Main();
