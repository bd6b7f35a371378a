Select Distinct t1.FErpClsID,t1.FNumber,t1.FModel,t1.FQtyDecimal,t1.FPriceDecimal,t1.FName,t1.FItemID,t1.FUnitID  FROM t_ICItem t1  INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID 
 WHERE t1.FItemID=1098
 AND t1.FDeleted <> 1 AND t6.FTypeID=4
AND (t6.FuserID=16396 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16396 ))
