#include "geometry/ObjectTable.h"

#include <algorithm>

float* ObjectTable::Data(std::int32_t kind) {
  return const_cast<float*>(static_cast<const ObjectTable*>(this)->Data(kind));
}

const float* ObjectTable::Data(std::int32_t kind) const {
  switch (kind) {
    case KindRect: return RectData.data();
    case KindMagnet: return MagnetData.data();
    case KindCoil: return CoilData.data();
    case KindWire: return WireData.data();
    case KindSolenoid: return SolenoidData.data();
    case KindCircle: return CircleData.data();
    case KindAerofoil: return AerofoilData.data();
    default: return nullptr;
  }
}

std::int32_t& ObjectTable::Length(std::int32_t kind) {
  switch (kind) {
    case KindMagnet: return MagnetDataLen;
    case KindCoil: return CoilDataLen;
    case KindWire: return WireDataLen;
    case KindSolenoid: return SolenoidDataLen;
    case KindCircle: return CircleDataLen;
    case KindAerofoil: return AerofoilDataLen;
    default: return RectDataLen;
  }
}

std::int32_t ObjectTable::Length(std::int32_t kind) const { return const_cast<ObjectTable*>(this)->Length(kind); }

std::int32_t ObjectTable::RecordSize(std::int32_t kind) {
  if (kind == KindWire) return WireRecordSize;
  if (kind == KindAerofoil) return AerofoilRecordSize;
  return TenRecordSize;
}

std::int32_t ObjectTable::Capacity(std::int32_t kind) {
  if (kind == KindWire) return WireCapacity;
  if (kind == KindAerofoil) return AerofoilCapacity;
  return TenCapacity;
}

std::vector<char>& ObjectTable::AerofoilMap(std::int32_t number) {
  return number == 3 ? AerofoilMap3 : number == 2 ? AerofoilMap2 : AerofoilMap1;
}
const std::vector<char>& ObjectTable::AerofoilMap(std::int32_t number) const {
  return number == 3 ? AerofoilMap3 : number == 2 ? AerofoilMap2 : AerofoilMap1;
}

bool AnyObjects(const ObjectTable& t) {
  return t.RectDataLen || t.MagnetDataLen || t.CoilDataLen || t.WireDataLen || t.SolenoidDataLen ||
         t.CircleDataLen || t.AerofoilDataLen;
}

bool HasRoom(const ObjectTable& t, std::int32_t kind) {
  const std::int32_t size = ObjectTable::RecordSize(kind);
  // Every array carries one spare single: 1001 singles hold 100 records.
  return (t.Length(kind) / size + 1) * size <= ObjectTable::Capacity(kind) - 1;
}

bool StoreShape(ObjectTable& t, std::int32_t kind, StoreMode mode) {
  if (kind < KindRect || kind > KindAerofoil) return false;
  float* data = t.Data(kind);
  std::int32_t& len = t.Length(kind);
  const std::int32_t size = ObjectTable::RecordSize(kind);
  std::int32_t offset = t.SelectedIndex;
  if (mode == StoreMode::Append) {
    if (!HasRoom(t, kind)) return false;
    offset = len;
  } else if (offset < 0 || offset + size > len) {
    return false;
  }
  t.SelectedKind = kind;
  if (mode == StoreMode::DataOnly) {
    if (kind == KindRect || kind == KindCircle) {
      data[offset + 8] = t.SelectedRecord[8];
    } else if (kind == KindWire) {
      data[offset + 2] = t.SelectedRecord[2];
    } else if (kind != KindAerofoil) {
      data[offset + 8] = t.SelectedRecord[8];
      data[offset + 9] = t.SelectedRecord[9];
    }
    return true;
  }
  // A rectangular section keeps its unused tenth single.
  const std::int32_t written = kind == KindRect ? 9 : size;
  std::copy_n(t.SelectedRecord.begin(), written, data + offset);
  if (mode == StoreMode::Append) {
    len += size;
    t.SelectedIndex = offset;
  }
  return true;
}

void DeleteSelected(ObjectTable& t) {
  const std::int32_t kind = t.SelectedKind;
  if (kind < KindRect || kind >= KindAerofoil) return;
  float* data = t.Data(kind);
  std::int32_t& len = t.Length(kind);
  const std::int32_t size = ObjectTable::RecordSize(kind);
  const std::int32_t at = t.SelectedIndex;
  if (at < 0 || at + size > len) return;
  std::copy(data + at + size, data + len, data + at);
  len -= size;
}

void ClearAllObjects(ObjectTable& t) {
  t.RectDataLen = t.MagnetDataLen = t.CoilDataLen = t.WireDataLen = t.SolenoidDataLen = t.CircleDataLen =
      t.AerofoilDataLen = 0;
}

void ClearAerofoilMaps(ObjectTable& t) {
  for (auto* m : {&t.AerofoilMap1, &t.AerofoilMap2, &t.AerofoilMap3, &t.AerofoilScratchMap})
    std::fill(m->begin(), m->end(), ' ');
  t.AerofoilDataLen = 0;
  t.SelectedAerofoil = 0;
  t.SelectedAerofoilOffset = 0;
}
