#include "shell/OnlineHelp.h"

#include <initializer_list>
#include <vector>

namespace {

using Pieces = std::vector<const char*>;

std::string Join(const Pieces& pieces, std::size_t from, std::size_t to) {
  std::string s;
  for (std::size_t i = from; i < to && i < pieces.size(); ++i) s += pieces[i];
  return s;
}

const Pieces& Text(int code) {
  static const Pieces empty;
  static const Pieces flip = {"FLIP reverses the direction of a selected object either horizontally or",
                              " vertically about its centre. Choose Left/Right or Top/Bottom."};
  static const Pieces open = {"OPEN File puts a saved file on the mesh, with its grid pattern and title.",
                              " The objects, the settings and the last solution are restored,",
                              " and the flow lines are drawn again without a new run.",
                              " Choose the .QDN file of the document. ",
                              "Any unsaved changes to the present drawing are offered",
                              " for saving first."};
  static const Pieces saveAs = {"SAVE As will save all objects, data, title and grid pattern settings on",
                                " a file of your choice. Three files are written with the same name.",
                                " Use the .QDN extension for the file name."};
  static const Pieces print = {"Quorvane will print all the image displayed on the mesh area. Use TOOLS ",
                               "to choose the grid pattern that is printed with it."};
  static const Pieces rect = {"Three points must be entered to create a rectangular section,",
                              " the first two points give one side, the last point",
                              " gives the width.",
                              " Press Escape at any time to stop.",
                              " The section is drawn red while it is selected."};
  static const Pieces magnet = {"PERMANENT MAGNET sections are drawn like rectangular sections."};
  static const Pieces coil = {"COIL sections are drawn like rectangular sections."};
  static const Pieces wire = {"WIRE sections are placed with a single click."};
  static const Pieces copy = {"COPY makes an identical copy of a selected object onto",
                              " another part of the mesh. Click where the copy is to go."};
  static const Pieces move = {"MOVE a selected object to another part", " of the mesh. Click where it is to go."};
  static const Pieces rotate = {"ROTATE a selected object about its centre. An object cannot be rotated",
                                " past the edge of the mesh. Move the mouse to turn it and click to finish."};
  static const Pieces switchPoles = {"SWITCH POLES reverses the poles of a selected magnet."};
  static const Pieces changeData = {"CHANGE DATA alters the values of a selected object."};
  static const Pieces size = {"SIZE changes the size or shape of a selected object.",
                              " Stretch lengthens one side, Trapezoid tapers it and Expand scales it."};
  static const Pieces fileNew = {"NEW File clears all objects on the mesh and sets up a grid pattern ready ",
                                 "for new objects. ", "Use EDIT to add rectangular and circular sections",
                                 " or aerofoils. ", "Use ANALYSE to calculate",
                                 " and display fluid flow. Click on an object to select",
                                 " it; click on a blank area to deselect."};
  static const Pieces save = {"SAVE will save all objects, data, title and grid pattern settings on",
                              " the file that is open now.", " Use the .QDN extension for the file name."};
  static const Pieces prefs = {"PREFERENCES used the next time the program is started. ",
                               "The working directory (for Quorvane data files storage) ",
                               "must exist or be created using the File-New-Folder ",
                               "command in Windows Explorer"};
  static const Pieces solenoid = {"SOLENOID sections are drawn like circular sections."};
  static const Pieces circle = {"Two points must be entered to ", "create a circular section: first its centre,",
                                " then a point on its edge.", " Press Escape at any time to stop."};
  static const Pieces pressure = {"  "};
  static const Pieces meshSetUp = {"The high resolution mode can be slow. Consider using the lower",
                                   " resolution while the drawing is still being built."};
  static const Pieces aerofoil = {"ADD AEROFOIL at the screen center and set the",
                                  " angle of attack with the slider, then move it into place.",
                                  " Up to three aerofoils can be used on the mesh;",
                                  " each can be moved, copied, flipped and cleared."};
  switch (code) {
    case 1: return flip;
    case 2: return open;
    case 3: return saveAs;
    case 4: return print;
    case 5: return rect;
    case 6: return magnet;
    case 7: return coil;
    case 8: return wire;
    case 9: return copy;
    case 10: return move;
    case 11: return rotate;
    case 12: return switchPoles;
    case 13: return changeData;
    case 14: return size;
    case 15: return fileNew;
    case 16: return save;
    case 20: return prefs;
    case 21: return solenoid;
    case 22: return circle;
    case 23: return pressure;
    case 26: return meshSetUp;
    case 27: return aerofoil;
    default: return empty;
  }
}

}  // namespace

void ShowOnlineHelp(UiState& ui, int code, bool onlineHelpOn, bool guidelineInProgress) {
  if (!onlineHelpOn) return;
  ClearHelpLabels(ui);
  const Pieces& p = Text(code);
  auto& l = ui.helpLabels;
  switch (code) {
    case 15: l[0] = Join(p, 0, 4); l[1] = Join(p, 4, 7); break;
    case 2: l[1] = Join(p, 0, 4); l[2] = Join(p, 4, 6); break;
    case 5: l[0] = Join(p, 0, 3) + " "; l[1] = Join(p, 3, 5); break;
    case 22: l[0] = Join(p, 0, 2); l[1] = Join(p, 2, 4); break;
    case 27: l[0] = Join(p, 0, 2) + "  "; l[1] = Join(p, 2, 4); break;
    case 3: case 4: case 16: l[2] = Join(p, 0, p.size()); break;
    case 23: case 26: l[1] = Join(p, 0, p.size()); break;
    default:
      if (!p.empty()) l[0] = Join(p, 0, p.size());
  }
  if (guidelineInProgress)
    l[0] = "Guidelines may be entered as an aid to object building or editing."
           " Guidelines are not affected by any EDIT commands, but may be cleared"
           " by the CLEAR ALL GUIDELINES function in the TOOLS-EDIT menu."
           " Guidelines are not stored in the data file.";
}

const std::array<Tip, 12>& StartUpTips() {
  static const std::array<Tip, 12> tips = {{
      {"Memo1", "Uninstalling.",
       "Installed from its Debian package, Quorvane is removed by the package manager (apt remove quorvane, "
       "as root); your settings and documents stay. A copy run from a folder of its own is removed by deleting "
       "that folder. Tools > Uninstall says the same."},
      {"Memo4", "To enter objects.",
       "Choose Edit > Add Rectangle, Add Circle or Add Aerofoil, or the matching speed button, and follow the "
       "prompt in the status bar. Escape stops any command."},
      {"Memo5", "Selecting and deselecting objects.",
       "Click on an object to select it: it turns red and the edit commands act on it. Click on a blank part "
       "of the mesh to deselect it."},
      {"Memo6", "Solid fill.",
       "View > Solid fill paints the obstacles grey after the mesh is set up, so their outlines are easy to "
       "see among the flow lines."},
      {"Memo7", "Guidelines.",
       "Edit > Add Guideline draws olive lines that help to line objects up. They are not saved with the "
       "document and Clear All Guidelines removes them."},
      {"Memo8", "Removing streamlines.",
       "Any editing command takes the flow lines away; press Run again to solve the new arrangement."},
      {"Memo9", "Streamline density.",
       "Tools > Flow Lines sets how many flow lines are drawn: High, Normal or Low. The solution is kept, so "
       "the change shows at once."},
      {"Memo10", "Pressure display.",
       "The speed button Toggle Flow Lines / Pressure switches between flow lines and a colour or grey map of "
       "the pressure. Slow flow means high pressure."},
      {"Memo11", "Printing.",
       "File > Print prints the mesh area as it is shown, with the grid pattern chosen under Tools."},
      {"Memo14", "On-line help ",
       "Help > On Line Help shows a short explanation of each command beside the mesh while you use it."},
      {"Memo16", "Resolution and symmetry.",
       "A body placed on the centre lines gives a symmetric pattern. Fine detail needs objects several grid "
       "units across: shapes below two grid units are refused."},
      {"Memo17", "Some basic physical values",
       "Air at sea level has a density of about 1.2 kg per cubic metre and a pressure of one atmosphere, "
       "101325 pascals. The gauge reads flow rate and pressure once it is calibrated."},
  }};
  return tips;
}
