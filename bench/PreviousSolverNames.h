// Names of the previous status solver, built beside the current one in the solver benchmark: every
// name it defines outside its own file gets a prefix, so that both link into one program.
#pragma once

#define OSpace PreviousOSpace
#define ZarkWorkSpace PreviousZarkWorkSpace
#define checkStatus previous_checkStatus
#define changeEltStatusWithCnsttControl previous_changeEltStatusWithCnsttControl
#define changeEltsStatusWithCnsttControl previous_changeEltsStatusWithCnsttControl
#define k_setStatusSolverTimeLimit previous_k_setStatusSolverTimeLimit
#define k_getStatusSolverTimeLimit previous_k_getStatusSolverTimeLimit
#define k_statusSolverLimitHits previous_k_statusSolverLimitHits
#define canPlay previous_canPlay
#define notOrphanCanPlay previous_notOrphanCanPlay
#define checkConstraintsWF previous_checkConstraintsWF
#define randomSlct previous_randomSlct
#define randomSlctWithCancel previous_randomSlctWithCancel
#define statusIsOk previous_statusIsOk
#define solutionChecking previous_solutionChecking
#define controlStatus previous_controlStatus
#define OSpace_create previous_OSpace_create
#define OSpace_destroy previous_OSpace_destroy
#define addConstraints2 previous_addConstraints2
#define addConstraints previous_addConstraints
#define seeSpace previous_seeSpace
#define seeOS previous_seeOS
