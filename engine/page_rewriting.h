// The rewriting of a run, in memory. Internal to the engine: the user interface knows only
// the extraction run.
#pragma once

#include "engine/run_error.h"
#include "engine/run_state.h"

// Rewrites the page in one walk over its markup: every start tag but the html element loses its
// lang attributes; the header style block, and every other block of the same text, becomes
// the link element, and its CSS is cut into header rules. The link goes where a browser reads
// it beside the page: in the block's place, or without a block before "</head>", the body tag
// or else past the byte-order mark and the doctype; before all these, right before the first
// base element with an href (the block then goes, and later blocks of its text stay); from the body
// tag on (over the whole page when it has none) style attributes become classes, numbered after the
// page's own "inlineClassN" classes, marked !important or, on a page whose features call for it
// (CascadeFeatures), raised in the cascade (`state.raisedBy`). Each start tag is rewritten at
// most once. Needs the page text
// and the output sheet name of `state`; fills the rest: it counts the converted style attributes in
// `state.convertedStyles`, keeps the page as it was in `state.originalPage` and the href of
// each of its link elements in `state.linkHrefs`.
RunError RewritePage(RunState& state);
