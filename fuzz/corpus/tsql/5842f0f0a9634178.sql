Select Distinct t1.FErpClsID,t1.FNumber,t1.FModel,t1.FQtyDecimal,t1.FPriceDecimal,t1.FName,t1.FItemID,t1.FUnitID  FROM t_ICItem t1  WHERE t1.FItemID=1241
 AND t1.FDeleted <> 1 