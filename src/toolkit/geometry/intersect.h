// Inside the toolkit: polygon intersection under poses, node paths and the object layer.  A
// query's scratch space is shared: queries do not nest.
#pragma once

#include "toolkit/wt.h"

extern "C" {
// 1 when an edge of A (na points) crosses B's plane inside B (nb points, normal).
int _WTpoly_pierces(const WTp3 *a, const WTp3 *b, const WTp3 normal, int na, int nb);
// 1 when polygon A placed by (pa, qa) and B placed by (pb, qb) intersect.
int _WTgeometry_intersect(WTpoly *a, const WTp3 pa, const WTq qa, WTpoly *b, const WTp3 pb,
                          const WTq qb);
// The polygon against every geometry below the node (the node placed by m); every geometry below
// one node against every geometry below another.  The first hit ends the walk.
int _WTnode_intersectgeom(WTpoly *poly, const WTp3 p, const WTq q, WTnode *node, const WTm4 m,
                          WTnodestate *state);
int _WTnode_intersectgeoms(WTnode *a, const WTm4 ma, WTnode *b, const WTm4 mb,
                           WTnodestate *state);
// Polygons and nodes placed by node paths; a target (last node of a path) is a geometry node or
// a node that takes children.
int _WTnodepath_intersectpolys(WTpoly *a, WTnodepath *pa, WTpoly *b, WTnodepath *pb);
int _WTnodepath_intersectpolynode(WTpoly *poly, WTnodepath *path, WTnodepath *target);
int _WTnodepath_intersectnodes(WTnodepath *p1, WTnodepath *p2);
int _WTnodepath_intersectpolybox(WTpoly *poly, WTnodepath *path, WTnodepath *target);
// Polygons that follow their objects (flag 64), placed by the objects' poses.  Lists are fresh
// cells, newest hit first, the caller's to free with WTpolylist_delete; null for no hit.
int _WTpoly_intersectpoly(WTpoly *a, WTpoly *b);
WTpolylist *_WTpoly_intersectobject(WTpoly *poly, WTobject *object, int maximum);
int _WTpoly_hitsobject(WTpoly *poly, WTobject *object);
WTpolylist *_WTpoly_intersectscene(WTpoly *poly, int maximum);
int _WTpoly_hitsscene(WTpoly *poly);
}
