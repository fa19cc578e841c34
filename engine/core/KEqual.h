// Equaliser curve: points (frequency in Hz, linear amplitude) kept in ascending frequency order,
// evaluated as a Catmull-Rom spline on the Bark scale. Every curve has its own recursive lock,
// taken by every operation, so the playback threads may evaluate a curve while the GUI thread
// edits it. Freeing a curve (KEqual_delete) is the owner's job once no other thread uses it.
#ifndef KEQUAL_H
#define KEQUAL_H

#include "XmlObject.h"

struct _KEqualization;
typedef struct _KEqualization _KEqualization;

// Interpolation type of a new curve (spline); stored and written, not used by the evaluation.
enum { KEQUAL_INTERPOL_SPLINE = 2 };
// Most points a curve read from a tag tree may hold.
enum { KEQUAL_MAX_POINTS = 4096 };

// New empty curve (no points, interpolation 2) with its own lock; null on memory failure.
_KEqualization *KEqual_new(void);
// Drops every point and sets interpolation 2; returns the curve.
_KEqualization *KEqual_init(_KEqualization *curve);
// Frees the curve and clears *curve; null ignored.
void KEqual_delete(_KEqualization **curve);
// Copy of the curve; null for a null curve or on memory failure.
_KEqualization *KEqual_clone(const _KEqualization *curve);
// Replaces target's points and interpolation with copies of source's; returns target, null when
// either is null or memory fails (target then unchanged).
_KEqualization *KEqual_copy(_KEqualization *target, const _KEqualization *source);
// New curve holding copies of the n points, in the order given; null for n < 0, null arrays
// with n > 0, or on memory failure.
_KEqualization *KEqual_initAmplitudes(const double *frequencies, const double *amplitudes, int n);

// Number of points; 0 for a null curve.
int KEqual_getNbFreq(const _KEqualization *curve);
// Frequency / amplitude of point index; 0.0 for a null curve or an index outside 0..n-1.
double KEqual_getFreqAt(const _KEqualization *curve, int index);
double KEqual_getAmplAt(const _KEqualization *curve, int index);

// Sets the amplitude of the point at exactly that frequency, or inserts a point keeping the
// order; 1, or 0 for a null curve, a non-finite value, or when the arrays cannot grow.
int KEqual_setAmplitude(_KEqualization *curve, double frequency, double amplitude);
// Removes the first point at exactly that frequency; 1 removed, 0 not found. Removing the last
// point leaves a valid empty curve.
int KEqual_eraseFreq(_KEqualization *curve, double frequency);
// Removes point index; 0 for a null curve or an index outside 0..n-1.
int KEqual_removeAmplAt(_KEqualization *curve, int index);
// Moves point index to (frequency, amplitude): in place when the order holds, else by erasing
// and inserting it; an index outside 0..n-1 inserts. 1, or 0 for a null curve, a negative or
// non-finite frequency, or a failed insertion.
int KEqual_setAmplitudeAt(_KEqualization *curve, double frequency, double amplitude, int index);

// The curve's value at the frequency: 1.0 for an empty (or null) curve, the amplitude for one
// point, else the spline through the points, never negative.
double KEqual_getAmplitude(const _KEqualization *curve, double frequency);
// New curve of count points evenly spaced from low to high (the last exactly at high; a single
// point lies at high), each holding this curve's value there. Null for a null curve, low or high
// below 0, low above high, count below 1, or on memory failure.
_KEqualization *KEqual_getTotalEqual(const _KEqualization *curve, double low, double high,
                                     int count);
// No parabolic interpolation is offered: 0.0.
double KEqual_getAmplitude_parabol(void);

double hertzToBark(double hertz);
double barkToHertz(double bark);

// Tag tree EQUAL {NBFREQ, INTERPOL, FREQ, AMPL}; null on failure. Released with
// DeleteRecXmlObject.
XmlObject *exportXmlEqual(const _KEqualization *curve);
// New curve read from an EQUAL tree; null when the tree is not a well-formed curve.
_KEqualization *extractXmlEqual(const XmlObject *tree);

#endif
