// Triangulation of a polygon with holes: randomized trapezoidal decomposition, split into
// monotone pieces, triangles.
#pragma once

// contourCount contours follow each other in vertices; the first is the outer boundary listed
// counter-clockwise, every further one a hole listed clockwise. Vertices are numbered from 1:
// vertices[0] is not read. Triangles are written as triples of those 1-based vertex numbers,
// counter-clockwise, at most maxTriangles of them.
// Returns the number of triangles (n - 2 + 2h for n vertices and h holes), or 0 when the input
// is refused (a contour of fewer than 3 vertices, too little room for the triangles) or turns
// out not to be a simple polygon. The tables are sized to the polygon; the C library's random
// generator is not touched.
int TriangulatePolygon(int contourCount, const int contourSizes[], const double (*vertices)[2],
                       int (*triangles)[3], int maxTriangles);
