// ObjectTable: every obstacle on the mesh, as fixed-capacity arrays of singles
// (one per kind, positions in view pixels; aerofoils as cell offsets and an
// angle with a 300 × 300 cell map each), and the selection.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

enum ObjectKind : std::int32_t {
  KindRect = 0,
  KindMagnet = 1,
  KindCoil = 2,
  KindWire = 3,
  KindSolenoid = 4,
  KindCircle = 5,
  KindAerofoil = 6,
};

constexpr std::int32_t TenRecordSize = 10;
constexpr std::int32_t WireRecordSize = 3;
constexpr std::int32_t AerofoilRecordSize = 4;
constexpr std::int32_t TenCapacity = 1001;  // singles: 100 records
constexpr std::int32_t WireCapacity = 901;  // 300 records
constexpr std::int32_t AerofoilCapacity = 13;  // 3 records
constexpr std::int32_t AerofoilMapSide = 300;
constexpr std::int32_t AerofoilMapCells = AerofoilMapSide * AerofoilMapSide;
constexpr float SolidPermeability = 999.0f;

struct ObjectTable {
  std::array<float, TenCapacity> RectData{};
  std::array<float, TenCapacity> MagnetData{};
  std::array<float, TenCapacity> CoilData{};
  std::array<float, WireCapacity> WireData{};
  std::array<float, TenCapacity> SolenoidData{};
  std::array<float, TenCapacity> CircleData{};
  std::array<float, AerofoilCapacity> AerofoilData{};
  std::int32_t RectDataLen = 0, MagnetDataLen = 0, CoilDataLen = 0, WireDataLen = 0, SolenoidDataLen = 0,
               CircleDataLen = 0, AerofoilDataLen = 0;

  // Selection and the shape under work.
  std::int32_t ObjectSelected = 0;
  std::int32_t SelectedKind = 0;
  std::int32_t SelectedIndex = 0;
  std::array<float, 10> SelectedRecord{};
  std::array<float, 8> NewShape{};
  std::int32_t SelectedEdge = 0;
  std::int32_t SelectedAerofoil = 0;
  std::int32_t SelectedAerofoilOffset = 0;

  // Cell maps, map[column × 300 + row]: ' ' outside, 'b' boundary, 'i' interior.
  std::vector<char> AerofoilMap1 = std::vector<char>(AerofoilMapCells, ' ');
  std::vector<char> AerofoilMap2 = std::vector<char>(AerofoilMapCells, ' ');
  std::vector<char> AerofoilMap3 = std::vector<char>(AerofoilMapCells, ' ');
  std::vector<char> AerofoilScratchMap = std::vector<char>(AerofoilMapCells, ' ');

  // The array, its length and the record size of a kind code (0..6).
  float* Data(std::int32_t kind);
  const float* Data(std::int32_t kind) const;
  std::int32_t& Length(std::int32_t kind);
  std::int32_t Length(std::int32_t kind) const;
  static std::int32_t RecordSize(std::int32_t kind);
  static std::int32_t Capacity(std::int32_t kind);
  std::vector<char>& AerofoilMap(std::int32_t number);  // 1..3
  const std::vector<char>& AerofoilMap(std::int32_t number) const;
};

// Which command is storing a shape: the kind of a completed add, or an edit of
// the selected object (in place for Move / Rotate / Size / Switch Poles, else
// appended, as Copy does).
enum class StoreMode { Append, InPlace, DataOnly };

bool AnyObjects(const ObjectTable& table);
// Whether one more record of the kind fits.
bool HasRoom(const ObjectTable& table, std::int32_t kind);
// Writes SelectedRecord as kind `kind`, appending or overwriting the record at
// SelectedIndex. A full array is refused: nothing is written and false returned.
bool StoreShape(ObjectTable& table, std::int32_t kind, StoreMode mode);
// Removes the record at SelectedIndex of SelectedKind and closes the gap.
void DeleteSelected(ObjectTable& table);
// All seven lengths to 0 (the maps are left as they are).
void ClearAllObjects(ObjectTable& table);
// The four aerofoil maps to spaces, no aerofoils left.
void ClearAerofoilMaps(ObjectTable& table);
