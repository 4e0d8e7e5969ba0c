// The records of sensors, motion links and paths, shared by the core files that move things.
#pragma once

#include "toolkit/core/core.h"

struct WTsensor {
  unsigned char tag;  // 33
  unsigned char spare[2];
  unsigned char haseventhandlers;
  WTp3 translation;
  WTq rotation;
  WTp3 lasttranslation;
  WTq lastrotation;
  int32_t miscdata;
  char *name;
  void *raw;   // owned, freed with the sensor
  void *raw2;  // owned
  float sensitivity;
  float angularrate;
  WTsensorfn update;
  WTsensorfn close;
  void *data;
  int16_t mode;
  uint16_t device;
  WTsensor *next;
  void *serial;
  WTq reference;
  unsigned char referenceinuse;
  unsigned char constraints;
};

struct WTmotionlink {
  WTmotionlink *next, *prev;
  void *source;
  void *target;
  WTpq offset;
  int32_t sourcetype;
  int32_t targettype;
  int32_t frame;
  int32_t mode;
  int32_t nconstraints;
  WTconstraint *constraints;
  void *data;
  unsigned char enabled;
  unsigned char hasreference;
  WTq reference;
  // Set when the link is deleted while the motion pass stands on it; the pass frees it.
  unsigned char dead;
};

struct WTpathelement {
  WTp3 position;
  WTq orientation;
  WTpathelement *prev, *next;
  WTpath *path;
  WTgeometry *markergeometry;
  WTnode *marker;        // "WTMarker" node
  WTobject *markerobject;
};

struct WTpath {
  unsigned char tag;  // 34
  unsigned char haseventhandlers;
  unsigned char loop;  // 1 loop, 2 bounce
  unsigned char forward;
  unsigned char markersshown;
  unsigned char constraints;
  char *name;
  int32_t state;
  WTpathelement *first, *current, *last;
  WTobject *markerobject;
  WTgeometry *markergeometry;
  WTmotionlink *attached;
  void *attachedtarget;
  int attachedtype;
  double recordstart;
  int32_t spare;
  int32_t speed;
  int32_t rate;
  int32_t countdown;
  WTpath *next;
  WTviewpoint *recordfrom;
  int32_t mode;
  void *data;
};

extern "C" {
// The universe's list heads of sensors, paths and motion links (null while there is none).
WTsensor **_WTuniverse_sensorslot(void);
WTpath **_WTuniverse_pathslot(void);
WTmotionlink **_WTuniverse_linkslot(void);
// The sensor's record as the delta a link applies: translation and rotation.
void _WTsensor_getdeltarecord(WTsensor *sensor, WTp3 t, WTq q);
// The path's element pose handed to one link target.
void _WTmotionlink_applypose(WTmotionlink *link, const WTp3 p, const WTq q, int skipposition,
                             int skiporientation);
// Deletes every sensor and path (universe deletion).
void _WTsensor_deleteall(void);
void _WTpath_deleteall(void);
void _WTpath_hideallmarkers(void);
// Frees every link (universe deletion).
void _WTmotionlink_clear(void);
}
